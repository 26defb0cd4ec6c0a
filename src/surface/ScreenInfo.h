#pragma once

// The screen's logical resolution, pixels per inch (96 on most screens).
int ScreenPixelsPerInch();
