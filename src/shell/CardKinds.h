#pragma once

// Installs the catalogue of card object kinds: every stored class enters the
// object kind registry, and the card surface and the tool bar find their
// tools in it. The program calls it as it starts, tessaro-batch before it
// reads a design; calling it again changes nothing.
void RegisterCardObjectKinds();
