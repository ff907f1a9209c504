// The terminal while the player runs: keys without Enter or echo, Ctrl-C noticed rather
// than fatal, and the settings given back at the end.
#pragma once

void ConsoleOpen();
void ConsoleClose();
// The next key pressed, or -1 when none is waiting. Arrow keys come as 'L' and 'R'.
int ConsoleKey();
bool ConsoleInterrupted();
bool ConsoleIsTerminal();
