// vokra-dict: dictionary sources in UTF-8 to the dictionary files VOKRA reads, and back, with
// every line checked. The output replaces its file as a whole.
#pragma once

// Runs vokra-dict with its command line; returns its exit status (0 no problems, 1 problems
// found, 2 a file could not be read or written, or wrong use).
int RunDictTool(int argc, char** argv);
