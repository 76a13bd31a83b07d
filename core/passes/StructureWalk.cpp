#include "StructureWalk.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "FileError.h"
#include "PeImage.h"
#include "ProgramFields.h"
#include "ResourceTexts.h"
#include "Timing.h"

namespace {

// The runs inside a field whose whole text found no translation, as the whole-file walk would
// find them there, none reaching past the field's end.
bool WalkInside(PassState& state, const unsigned char* image, const ProgramField& field,
                EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler) {
    const std::int64_t end = field.nOffset + 2 * static_cast<std::int64_t>(field.nUnits);
    // The candidate holds at most what the last run put there: clear that much before each scan.
    std::size_t dirty = sizeof state.m_szCandidate;
    for (std::int64_t pos = field.nOffset; pos < end;) {
        std::memset(state.m_szCandidate, 0, dirty);
        dirty = 0;
        const std::int64_t runEnd = ScanRun(state, image, end, pos, mainScanner);
        if (runEnd <= pos) {
            pos += 2;
            continue;
        }
        dirty = static_cast<std::size_t>(runEnd - pos) / 2;
        state.m_nRunBytes = static_cast<int>(runEnd - pos);
        display.ShowRunOffset(pos);
        handler.OnRun(pos);
        pos = runEnd;
        if (state.m_bStopped == 1) {
            return false;
        }
    }
    return true;
}

}  // namespace

ProgramFacts LookAtProgram(const unsigned char* image, std::int64_t size) {
    ProgramFacts facts;
    const PeReadResult read = ReadPeImage(image, size);
    if (read.kind == EPeKind::NotPe) {
        return facts;
    }
    facts.kind = EFileKind::BrokenProgram;
    facts.strProblem = read.strProblem;
    if (read.kind == EPeKind::Broken) {
        return facts;
    }
    const ResourceScan resources = ListResourceTexts(image, size, read.layout);
    if (!resources.strProblem.empty()) {
        facts.strProblem = resources.strProblem;
        return facts;
    }
    facts.kind = EFileKind::Program;
    facts.bSigned = read.layout.nSecuritySize != 0;
    if (read.layout.nChecksum != 0) {
        facts.nChecksumOffset = read.layout.nChecksumOffset;
    }
    return facts;
}

bool FindRuns(PassState& state, const unsigned char* image, std::int64_t size,
              EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler) {
    if (state.m_bWholeFileWalk == 1) {
        return WalkImage(state, image, size, mainScanner, display, handler);
    }
    const PeReadResult read = ReadPeImage(image, size);
    if (read.kind == EPeKind::NotPe) {
        return WalkImage(state, image, size, mainScanner, display, handler);
    }
    const ResourceScan resources =
        read.kind == EPeKind::Pe ? ListResourceTexts(image, size, read.layout) : ResourceScan{};
    if (read.kind == EPeKind::Broken || !resources.strProblem.empty()) {
        throw CFileError(EFileErrorCause::BrokenProgram, "");
    }
    return WalkFields(state, image, ProgramFieldsOf(image, size, read.layout, resources), size,
                      mainScanner, display, handler);
}

bool WalkFields(PassState& state, const unsigned char* image,
                const std::vector<ProgramField>& fields, std::int64_t size,
                EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler) {
    int progress = -1;
    for (const ProgramField& field : fields) {
        PumpOneMessage();
        if (state.m_bStopped == 1) {
            return false;
        }
        if (const int percent =
                static_cast<int>(field.nOffset * 100 / std::max<std::int64_t>(size, 1));
            percent != progress) {
            display.SetProgress(percent);
            progress = percent;
        }
        const std::u16string text = UnitsAt(image, field.nOffset, field.nUnits);
        if (!MayTranslate(text, field)) {
            continue;
        }
        FieldRun run;
        run.nOffset = field.nOffset;
        run.nUnits = field.nUnits;
        run.parts = SplitField(text, field.bAccessKeys);
        run.strWhere = field.strWhere;
        // The dictionary's own delimiters never go into a key: such a field is only walked run
        // by run, as the whole-file walk's scanners stop at them.
        const std::u16string& core = run.parts.core;
        RunOutcome outcome;
        if (!core.empty() && core.size() <= static_cast<std::size_t>(kCandidateMaxChars) &&
            core.find_first_of(u"[]=") == std::u16string::npos) {
            std::memset(state.m_szCandidate, 0, sizeof state.m_szCandidate);
            for (std::size_t i = 0; i < core.size(); ++i) {
                state.m_szCandidate[i] = static_cast<char>(core[i]);
            }
            state.m_nRunBytes = static_cast<int>(2 * core.size());
            state.m_pField = &run;
            display.ShowRunOffset(field.nOffset);
            outcome = handler.OnRun(field.nOffset);
            state.m_pField = nullptr;
        }
        // A field with no translation as a whole (or one that would lose a placeholder) is
        // translated run by run inside its bounds, the placeholders between the runs staying
        // where they are. A field with an access key is only ever translated whole: a word of it
        // laid in alone would take the key's letter away.
        if (outcome.status != ERunStatus::Translated && run.parts.key == 0 &&
            !WalkInside(state, image, field, mainScanner, display, handler)) {
            return false;
        }
        if (state.m_nDelay != 0) {
            DelayMs(static_cast<unsigned>(state.m_nDelay * state.m_nDelay));
        }
    }
    display.SetProgress(100);
    return true;
}
