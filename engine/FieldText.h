// A resource field's text taken apart for translation and put back together in the field's own
// length: the access key, the punctuation around the words, the shortcut after the tab and the
// blank fill each keep their place.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A field's text taken apart: "  &Open...\tCtrl+O" -> lead "  ", core "Open", key 'O' at core
// index 0, trail "...", tab "\tCtrl+O". "File (&F)" -> core "File", key 'F', bKeyInParens.
// "(default)" -> lead "(", core "default", trail ")". "Name:  " -> trail ":  ".
struct FieldParts {
    std::u16string lead;  // leading blanks and punctuation
    std::u16string core;  // what the dictionary is asked for: the key's '&' removed, "&&" as "&"
    char16_t key = 0;     // the access key character as written, 0: none
    int keyIndex = -1;    // where the key is in core, -1: none, or in the lead or trail
    bool bKeyInParens = false;  // the text already had the "(&F)" form
    std::u16string trail;       // trailing punctuation and blanks
    std::u16string tab;         // from the first tab (or the right-align mark 0x08) on, as it was
    bool bAccessKeys = true;    // whether '&' marks an access key in this field
};

// Takes a field's text apart. Lead and trail are the blanks and the punctuation
// . , : ; ! ? ( ) [ ] < > " ' - and U+2026 at either end; brackets and quotes go there only in
// pairs ("(default)"), so "Print (color)" and "'%s' not found." keep theirs in the core. The
// core keeps its inner punctuation.
//
// `bAccessKeys`: whether '&' is an access-key prefix. Windows reads it so only where it draws the
// text as a label: menu items and dialog controls (pass true). String-table entries and version
// values are shown in many ways, message boxes and status bars among them, where "R&D" or
// "Tom & Jerry" mean a literal '&' and an added "(&R)" would show as written, so pass false for
// them: the '&' stays in the core as it is and no key is ever made.
FieldParts SplitField(std::u16string_view text, bool bAccessKeys = true);

// What ComposeField had to give up, for the listing and the report.
struct ComposeNotes {
    bool bKeyDropped = false;
    bool bEllipsisShortened = false;
};

// The translated field in exactly `units` units, or nullopt when it cannot be made to fit:
// lead + translated core + access key + trail + tab + blanks up to `units`. The fill is always
// at the very end; trailing blanks of the trail are fill too and are left out first, and so are
// blanks around the translated core.
// The key goes in as "檔案(&F)" when that fits, else as "檔案&F"; "..." in the trail becomes
// "…" when that makes room for the longer form; when not even "&F" fits the key is dropped. The
// tab text, the lead, the trail and the translated core are never cut: then nullopt. A key letter
// a-z is written in upper case, as Chinese interfaces do ("結束(&X)" for "E&xit").
// With parts.bAccessKeys, a '&' in the translated core is written "&&" so that it stays a
// literal '&' — unless the translated core brings its own "(&X)", which is then kept as it is and
// no key is added. Without it the core is written as it is and no key is made.
std::optional<std::u16string> ComposeField(const FieldParts& parts,
                                           std::u16string_view translatedCore, int units,
                                           ComposeNotes* notes = nullptr);
