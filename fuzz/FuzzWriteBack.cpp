// The write-back of any translation text file over any image.
#include "FuzzInput.h"
#include "Startup.h"
#include "WriteBack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    static AppState state;
    static CTranslationEngine engine;
    ApplyStartupDefaults(state);
    const std::uint8_t flags = input.Byte();
    state.m_bPlugInDict = flags & 1;
    state.m_bAlsoDefaultDict = (flags >> 1) & 1;
    LoadEditedDictionary(engine, input.Piece());

    const std::string before = input.Rest();
    std::string image = before;
    state.m_bStopped = 0;
    CRunRecorder recorder(state);
    WriteBackImage(state, engine, recorder, reinterpret_cast<unsigned char*>(image.data()),
                   static_cast<std::int64_t>(image.size()));
    RequireChangesInsideRuns(before, image, recorder.runs);
    return 0;
}
