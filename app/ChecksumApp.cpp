// Placeholder entry point so the program and its resources build before the application object exists;
// it is replaced by the real application source.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
