#pragma once

#include <QString>

// Where the program's own files live: the per-user data folder and the files
// kept in it.

// The per-user data folder, always ending in '/'. Created on first use; when
// it cannot be created the user is told once and the path is still returned
// (callers' writes then fail with their own messages).
QString ProgramFolder();
// ProgramFolder() + "TSC.INI".
QString PreferencesPath();
// ProgramFolder() + "TSC.HLP" (the help topics are shipped inside the program).
QString HelpFilePath();

// The data installed with the program (help pages, sample art, card stocks),
// ending in '/': share/tessaro beside the programs' bin folder. Empty when
// the program runs from its build folder; the copies built into the program
// serve then.
QString InstalledDataFolder();
