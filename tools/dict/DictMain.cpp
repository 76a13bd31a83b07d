// vokra-dict: dictionary sources in UTF-8 to the dictionary files VOKRA reads, and back.
#include "DictTool.h"
#include "FileOps.h"

int main(int argc, char** argv) {
    RemoveTemporariesOnSignals();
    return RunDictTool(argc, argv);
}
