// Controls found again by id: Get hands out a control only as a class it is, so an id taken from
// the wrong template fails at once instead of handing out a widget of another class.
#include "DialogBuilder.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <stdexcept>
#include <string>

#include "LanguageDlgIds.h"
#include "SettingsDlgIds.h"

namespace {

// The message of the std::logic_error that `get` throws, or "" when it throws none.
template <class Get>
std::string WrongClassMessage(Get get) {
    try {
        get();
    } catch (const std::out_of_range&) {
        return "";
    } catch (const std::logic_error& error) {
        return error.what();
    }
    return "";
}

TEST(DialogControls, GetHandsOutAControlAsItsOwnClassOrABase) {
    QDialog dialog;
    const CDialogControls controls(dialog, FindDialogTemplate(ids::settings::kTemplate));
    QWidget* test = controls.Control(ids::settings::kTest);
    EXPECT_EQ(controls.Get<QPushButton>(ids::settings::kTest), test);
    EXPECT_EQ(controls.Get<QAbstractButton>(ids::settings::kTest), test);
    EXPECT_EQ(controls.Get<QWidget>(ids::settings::kTest), test);
}

TEST(DialogControls, GetRefusesAControlOfAnotherClassNamingTheIdAndTheClass) {
    QDialog settingsDialog;
    const CDialogControls settings(settingsDialog, FindDialogTemplate(ids::settings::kTemplate));
    QDialog languageDialog;
    const CDialogControls language(languageDialog, FindDialogTemplate(ids::language::kTemplate));

    // 1047 is the language window's Simplified->Traditional radio, and the settings window's
    // test button.
    ASSERT_EQ(ids::settings::kTest, ids::language::kSimplifiedToTraditional);
    EXPECT_NE(language.Get<QRadioButton>(ids::language::kSimplifiedToTraditional), nullptr);
    const std::string message =
        WrongClassMessage([&] { settings.Get<QRadioButton>(ids::settings::kTest); });
    EXPECT_NE(message.find("1047"), std::string::npos) << message;
    EXPECT_NE(message.find("QRadioButton"), std::string::npos) << message;

    // A sibling class is refused as well: a check box is no radio button.
    EXPECT_NE(WrongClassMessage([&] { settings.Get<QRadioButton>(ids::settings::kDither); }), "");
    EXPECT_NE(WrongClassMessage([&] { language.Get<QCheckBox>(ids::language::kToTraditional); }),
              "");
}

TEST(DialogControls, AnIdTheTemplateDoesNotHaveIsOutOfRange) {
    QDialog dialog;
    const CDialogControls controls(dialog, FindDialogTemplate(ids::language::kTemplate));
    EXPECT_THROW(controls.Get<QPushButton>(ids::settings::kConfirm), std::out_of_range);
}

}  // namespace
