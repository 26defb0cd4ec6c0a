#pragma once

// Enters the eleven card object kinds (and their bases) in the process's
// object kind registry. The card surface calls it when it is created, and
// tessaro-batch before it reads a design; calling it again changes nothing.
void RegisterCardObjectKinds();
