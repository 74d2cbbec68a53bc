// Named presets of the export settings: the file the kernel keeps them in, and saving and
// choosing them in the real dialog.

#include "ExportPreviewSteps.h"

#include "export/ExportPresets.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QInputDialog>
#include <QTimer>

#include <stdexcept>

namespace qelmar::exporting::test {

using dialogs::io::ExportPreset;
using dialogs::io::ExportPresets;
using dialogs::io::ExportPresetValue;

namespace {

const QStringList shippedNames = {"Slides (PNG, 1920 px)", "Print (TIFF, 300 dpi, 17 cm)",
                                  "Web movie (MPEG-4)"};

struct BadFileCase {
    const char* name;
    const char* text;
    const char* expected; // the start of the message
};

const BadFileCase badFiles[] = {
    {"SettingBeforeAnyName", "ExportSetup/ImageWidth = 10\n", "Line 2: a setting comes before"},
    {"UnknownSetting", "[A]\nExportSetup/Colour = 1\n",
     "Line 3: \"ExportSetup/Colour\" is no export setting"},
    {"FileNameIsNoPresetSetting", "[A]\nExportSetup/ExportFName = 1\n",
     "Line 3: \"ExportSetup/ExportFName\""},
    {"NotANumber", "# fine\n[A]\n\nExportSetup/ImageWidth = wide\n", "Line 5: \"wide\" is not a number."},
    {"TrailingText", "[A]\nExportSetup/ImageWidth = 12px\n", "Line 3: \"12px\" is not a number."},
    {"NameNotClosed", "[A\n", "Line 2: a preset's name must end"},
    {"EmptyName", "[ ]\n", "Line 2: a preset needs a name"},
    {"SameNameTwice", "[A]\n[B]\n[A]\n", "Line 4: a second preset is named \"A\"."},
    {"NeitherNameNorSetting", "[A]\nwidth 12\n", "Line 3: expected \"[name]\""},
};

class ExportPresetsBadFileTest : public ::testing::TestWithParam<BadFileCase> {};

} // namespace

// Bad content is reported with the line it is on, counting the header as line 1.
TEST_P(ExportPresetsBadFileTest, NamesTheLineOfTheFault) {
    try {
        ExportPresets::parse(GetParam().text);
        FAIL() << "accepted";
    } catch (const std::runtime_error& bad) {
        EXPECT_EQ(std::string(bad.what()).rfind(GetParam().expected, 0), 0u) << bad.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, ExportPresetsBadFileTest, ::testing::ValuesIn(badFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// What is written reads back the same, comments included, and writing it again changes no byte.
TEST(ExportPresetsFileTest, TextReadsBackTheSameWithItsComments) {
    const std::string text = "#!QELMAR EP 1\n"
                             "# My presets.\n"
                             "\n"
                             "[Half]\n"
                             "ExportSetup/Quality = 50.5\n"
                             "\n"
                             "# For the poster.\n"
                             "[Poster]\n"
                             "ExportSetup/ImageWidth = 9000\n"
                             "ExportSetup/UsePhysicalSize = 1\n"
                             "\n"
                             "# The end.\n";
    const ExportPresets presets = ExportPresets::parse(text.substr(text.find('\n') + 1));
    EXPECT_EQ(presets.text(), text);
    ASSERT_NE(presets.find("Poster"), nullptr);
    EXPECT_EQ(presets.find("Poster")->values,
              (std::vector<ExportPresetValue>{{"ExportSetup/ImageWidth", 9000},
                                              {"ExportSetup/UsePhysicalSize", 1}}));

    // Replacing keeps the preset's place and comment.
    ExportPresets changed = presets;
    changed.put(ExportPreset{"Poster", {{"ExportSetup/ImageWidth", 4000}}, {}});
    EXPECT_NE(
        changed.text().find("# For the poster.\n[Poster]\nExportSetup/ImageWidth = 4000\n\n# The end.\n"),
        std::string::npos)
        << changed.text();
}

// The file the demo ships holds the presets the library offers without a file.
TEST(ExportPresetsFileTest, TheShippedFileHoldsTheBuiltInPresets) {
    // Beside the sources, or where the demo copies it beside the binaries.
    QFile shipped(
        QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath("../../demo/startup/export_presets.txt"));
    for (const char* beside : {"/../share/qelmar/startup/", "/../../../demo/startup/"}) {
        if (!shipped.exists())
            shipped.setFileName(QCoreApplication::applicationDirPath() + beside + "export_presets.txt");
    }
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly)) << shipped.fileName().toStdString();
    const QByteArray header = shipped.readLine();
    EXPECT_EQ(header, "#!QELMAR EP 1\n");
    const ExportPresets fromFile = ExportPresets::parse(shipped.readAll().toStdString());
    const ExportPresets builtIn = ExportPresets::shipped();
    ASSERT_EQ(fromFile.presets().size(), builtIn.presets().size());
    for (std::size_t row = 0; row < builtIn.presets().size(); ++row) {
        EXPECT_EQ(fromFile.presets()[row].name, builtIn.presets()[row].name);
        EXPECT_EQ(fromFile.presets()[row].values, builtIn.presets()[row].values);
    }
}

using ExportPresetsDialogTest = ExportPreviewTest;

// Without a file the shipped presets are offered; the first save writes them first.
TEST_F(ExportPresetsDialogTest, SavingWritesTheShippedPresetsThenTheUsersAndAsksBeforeReplacing) {
    ExportDialog& dialog = open();
    ExportPreviewPanel& panel = panelOf(dialog);
    EXPECT_EQ(itemsOf(control<QComboBox>(dialog, "exportPreview_Preset_CmbBox")), shippedNames);

    choose(dialog, "export_Format_CmbBox", "JPEG");
    click(dialog, "exportJpg_EnterWidth_RadioButton");
    typeInto(dialog, "exportJpg_Width_LineEdit", "640");
    // Through the button, as the user does: the name is asked for.
    QTimer::singleShot(0, [] {
        auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(ask, nullptr);
        ask->setTextValue(QStringLiteral("Mine"));
        ask->accept();
    });
    click(dialog, "exportPreview_SavePreset_Button");

    const QByteArray written = presetsFileContents();
    EXPECT_TRUE(written.startsWith("#!QELMAR EP 1\n")) << written.toStdString();
    const ExportPresets file = ExportPresets::parse(written.mid(written.indexOf('\n') + 1).toStdString());
    ASSERT_EQ(file.presets().size(), 4u);
    EXPECT_EQ(file.presets()[3].name, "Mine");
    EXPECT_NE(written.indexOf("[Mine]\n"), -1);
    EXPECT_NE(written.indexOf("ExportSetup/ExportFormat = 16\n", written.indexOf("[Mine]")), -1);
    EXPECT_NE(written.indexOf("ExportSetup/ImageWidth = 640\n", written.indexOf("[Mine]")), -1);
    EXPECT_EQ(itemsOf(control<QComboBox>(dialog, "exportPreview_Preset_CmbBox")),
              shippedNames + QStringList{"Mine"});

    typeInto(dialog, "exportJpg_Width_LineEdit", "720");
    kernel.answerNextQuestions({false});
    EXPECT_FALSE(panel.savePreset("Mine"));
    EXPECT_EQ(presetsFileContents(), written);
    kernel.answerNextQuestions({true});
    EXPECT_TRUE(panel.savePreset("Mine"));
    const QByteArray replaced = presetsFileContents();
    EXPECT_NE(replaced.indexOf("ExportSetup/ImageWidth = 720\n", replaced.indexOf("[Mine]")), -1);
    EXPECT_EQ(replaced.count("[Mine]"), 1);
    EXPECT_TRUE(kernel.unansweredQuestions().empty());
    dialog.reject();
    // Saving a preset submits nothing.
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_PNG);
}

// The same preset on the same page writes the same file, byte for byte.
TEST_F(ExportPresetsDialogTest, ThePresetAppliedTwiceWritesIdenticalFiles) {
    for (const char* name : {"first.png", "second.png"}) {
        ExportDialog& dialog = open();
        choose(dialog, "exportPreview_Preset_CmbBox", "Slides (PNG, 1920 px)");
        files.saveAs(QString::fromStdString(path(name)));
        pressOk(dialog);
        ASSERT_FALSE(dialog.isVisible());
        // Something else in between, so that the second export starts elsewhere.
        styles.setFromElsewhere(imageWidthPath, long{300});
        styles.setFromElsewhere(formatPath, long{ExportFormat_BMP});
    }
    QFile first(QString::fromStdString(path("first.png")));
    QFile second(QString::fromStdString(path("second.png")));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    const QByteArray bytes = first.readAll();
    EXPECT_EQ(QImage::fromData(bytes).width(), 1920);
    EXPECT_TRUE(bytes == second.readAll());
}

// A bad file is reported with its line, its presets are not offered, and it is never written
// over: the user's other presets are in it.
TEST_F(ExportPresetsDialogTest, ABadFileIsReportedWithItsLineAndKept) {
    const QByteArray bad =
        "#!QELMAR EP 1\n[Mine]\nExportSetup/ImageWidth = 640\nExportSetup/Quality = high\n";
    writePresetsFile(bad);
    ExportDialog& dialog = open();
    ASSERT_FALSE(errorTexts().empty());
    EXPECT_NE(errorTexts().back().find("Line 4: \"high\" is not a number."), std::string::npos)
        << errorTexts().back();
    EXPECT_NE(errorTexts().back().find("export_presets.txt"), std::string::npos) << errorTexts().back();
    EXPECT_EQ(itemsOf(control<QComboBox>(dialog, "exportPreview_Preset_CmbBox")), shippedNames);

    kernel.clearMessages();
    EXPECT_FALSE(panelOf(dialog).savePreset("Other"));
    EXPECT_EQ(errorTexts().size(), 1u);
    EXPECT_EQ(presetsFileContents(), bad);
    dialog.reject();
}

// A file the kernel cannot write leaves the earlier one in place, and the user reads why.
TEST_F(ExportPresetsDialogTest, AFailedWriteKeepsTheEarlierFile) {
    ExportDialog& dialog = open();
    ASSERT_TRUE(panelOf(dialog).savePreset("Mine"));
    const QByteArray before = presetsFileContents();
    kernel.failCall("QelAppStartupFileWrite", standin::FailMode::Once);
    kernel.clearMessages();
    EXPECT_FALSE(panelOf(dialog).savePreset("Other"));
    EXPECT_EQ(errorTexts().size(), 1u);
    EXPECT_EQ(presetsFileContents(), before);
    dialog.reject();
}

} // namespace qelmar::exporting::test
