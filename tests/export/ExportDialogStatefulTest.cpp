// The export dialog as a user lives with it: one dialog for the whole session, opened, edited,
// confirmed with a file or cancelled, with settings changed elsewhere in between. A model holds
// what the user believes the settings are; after every step the dialog shows the model's
// pending values while it is open and the kernel holds the model's values while it is closed,
// and every file written has the size the dialog showed and the colours the user chose.

#include "ExportSessionSteps.h"

#include <QCheckBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QRadioButton>

#include <map>
#include <ostream>

namespace qelmar::exporting::test {

namespace {

struct StillFormat {
    ExportFormat_e value;
    const char* label;
    const char* page; // the prefix of the page's controls
    const char* extension;
};

const StillFormat stillFormats[] = {
    {ExportFormat_PNG, "PNG", "exportPng_", "png"},
    {ExportFormat_BMP, "BMP", "exportBmp_", "bmp"},
    {ExportFormat_JPEG, "JPEG", "exportJpg_", "jpeg"},
    {ExportFormat_TIFF, "TIFF", "exportTiff_", "tiff"},
};

const char* const regionLabels[] = {"Current frame", "All frames", "Work area"};

const StillFormat& stillFormat(ExportFormat_e value) {
    for (const StillFormat& format : stillFormats) {
        if (format.value == value)
            return format;
    }
    return stillFormats[0];
}

std::string controlName(ExportFormat_e format, const char* suffix) {
    return std::string(stillFormat(format).page) + suffix;
}

struct Settings {
    ExportFormat_e format = ExportFormat_PNG;
    ExportRegion_e region = ExportRegion_CurrentFrame;
    bool typedWidth = true;
    int width = 800;
    bool colour = true;
    long resolution = 150;

    bool operator==(const Settings& other) const {
        return format == other.format && region == other.region && typedWidth == other.typedWidth &&
               (!typedWidth || width == other.width) && colour == other.colour &&
               resolution == other.resolution;
    }
};

std::ostream& operator<<(std::ostream& out, const Settings& s) {
    return out << stillFormat(s.format).label << ", " << regionLabels[s.region] << ", "
               << (s.typedWidth ? "width " + std::to_string(s.width) : std::string("screen width")) << ", "
               << (s.colour ? "colour" : "monochrome") << ", " << s.resolution << " dpi";
}

struct Model {
    bool open = false;
    Settings kernel;  // what the last OK (or a change elsewhere) left in the kernel
    Settings pending; // what the user set in the dialog while it is open
    int files = 0;
};

} // namespace

class DialogSession : public ExportSession<ExportDialogTest> {
public:
    Settings kernelSettings(bool typedWidth) {
        Settings settings;
        settings.format = static_cast<ExportFormat_e>(styles.integerValue(formatPath));
        settings.region = static_cast<ExportRegion_e>(styles.integerValue(regionPath));
        settings.typedWidth = typedWidth;
        settings.width = static_cast<int>(styles.integerValue(imageWidthPath));
        settings.colour = styles.integerValue(palettePath) != 0;
        settings.resolution = styles.integerValue(resolutionPath);
        return settings;
    }

    // What the open dialog shows, read off its widgets.
    Settings shownSettings() {
        ExportDialog& shown = dialog();
        Settings settings;
        const QString format = control<QComboBox>(shown, "export_Format_CmbBox")->currentText();
        for (const StillFormat& candidate : stillFormats) {
            if (format == candidate.label)
                settings.format = candidate.value;
        }
        const QString region =
            control<QComboBox>(shown, controlName(settings.format, "Region_CmbBox").c_str())->currentText();
        for (int row = 0; row < 3; ++row) {
            if (region == regionLabels[row])
                settings.region = static_cast<ExportRegion_e>(row);
        }
        settings.typedWidth =
            control<QRadioButton>(shown, controlName(settings.format, "EnterWidth_RadioButton").c_str())
                ->isChecked();
        settings.width =
            control<QLineEdit>(shown, controlName(settings.format, "Width_LineEdit").c_str())->text().toInt();
        settings.colour = control<QCheckBox>(shown, "export_Color_ToggleButton")->isChecked();
        settings.resolution = styles.integerValue(resolutionPath);
        return settings;
    }

    void checkShown(const Model& model) { RC_ASSERT(shownSettings() == model.pending); }
};

namespace {

using Edit = EditStep<Model, DialogSession>;

struct Open : Edit {
    void checkPreconditions(const Model& model) const override { RC_PRE(!model.open); }
    // A monochrome palette gives way to colour for a format without the colour choice.
    void apply(Model& model) const override {
        model.open = true;
        model.pending = model.kernel;
        model.pending.colour = model.pending.colour || model.pending.format != ExportFormat_TIFF;
    }
    void act(const Model&, DialogSession& session) const override { session.openDialog(); }
    void show(std::ostream& out) const override { out << "open"; }
};

struct ChooseFormat : Edit {
    const StillFormat& format = stillFormats[*rc::gen::inRange(0, 4)];
    void apply(Model& model) const override {
        model.pending.format = format.value;
        model.pending.colour = model.pending.colour || format.value != ExportFormat_TIFF;
    }
    void act(const Model&, DialogSession& session) const override {
        choose(session.dialog(), "export_Format_CmbBox", format.label);
    }
    void show(std::ostream& out) const override { out << "choose " << format.label; }
};

struct ChooseRegion : Edit {
    int region = *rc::gen::inRange(0, 3);
    void apply(Model& model) const override { model.pending.region = static_cast<ExportRegion_e>(region); }
    void act(const Model& model, DialogSession& session) const override {
        choose(session.dialog(), controlName(model.pending.format, "Region_CmbBox").c_str(),
               regionLabels[region]);
    }
    void show(std::ostream& out) const override { out << "region " << regionLabels[region]; }
};

struct TypeWidth : Edit {
    int width = *rc::gen::inRange(16, 900);
    void apply(Model& model) const override {
        model.pending.typedWidth = true;
        model.pending.width = width;
    }
    void act(const Model& model, DialogSession& session) const override {
        ExportDialog& dialog = session.dialog();
        click(dialog, controlName(model.pending.format, "EnterWidth_RadioButton").c_str());
        typeInto(dialog, controlName(model.pending.format, "Width_LineEdit").c_str(), QString::number(width));
    }
    void show(std::ostream& out) const override { out << "type width " << width; }
};

struct UseScreenWidth : Edit {
    void apply(Model& model) const override { model.pending.typedWidth = false; }
    void act(const Model& model, DialogSession& session) const override {
        click(session.dialog(), controlName(model.pending.format, "UseScreenWidth_RadioButton").c_str());
    }
    void show(std::ostream& out) const override { out << "use screen width"; }
};

// The colour box applies to TIFF only among these formats.
struct ToggleColour : Edit {
    void checkPreconditions(const Model& model) const override {
        RC_PRE(model.open && model.pending.format == ExportFormat_TIFF);
    }
    void apply(Model& model) const override { model.pending.colour = !model.pending.colour; }
    void act(const Model&, DialogSession& session) const override {
        click(session.dialog(), "export_Color_ToggleButton");
    }
    void show(std::ostream& out) const override { out << "toggle colour"; }
};

// The width the kernel keeps for a screen-width export is the width on screen, which the model
// does not predict; everything else it does.
struct OkWithFile : KernelStep<Model, DialogSession> {
    void checkPreconditions(const Model& model) const override { RC_PRE(model.open); }
    void apply(Model& model) const override {
        model.open = false;
        model.kernel = model.pending;
        ++model.files;
    }
    void act(const Model& model, DialogSession& session) const override {
        ExportDialog& dialog = session.dialog();
        const ExportFormat_e format = model.pending.format;
        const QString shown =
            control<QLabel>(dialog, controlName(format, "ExportDimVal_Label").c_str())->text();
        const std::string name =
            session.path("export-" + std::to_string(model.files) + "." + stillFormat(format).extension);
        session.files.saveAs(QString::fromStdString(name));
        session.pressOk(dialog);
        RC_ASSERT(!dialog.isVisible());

        QImageReader reader(QString::fromStdString(name));
        const QImage written = reader.read();
        RC_ASSERT(!written.isNull());
        RC_ASSERT(QStringLiteral("%1 x %2").arg(written.width()).arg(written.height()) == shown);
        const bool monochrome = format == ExportFormat_TIFF && !model.pending.colour;
        RC_ASSERT(written.allGray() == monochrome);
    }
    void show(std::ostream& out) const override { out << "OK with a file"; }
};

using Cancel = CancelStep<Model, DialogSession>;

// Printing shares the image resolution; the format may change through a macro.
struct ChangeElsewhere : KernelStep<Model, DialogSession> {
    long resolution = *rc::gen::inRange(72, 400);
    const StillFormat& format = stillFormats[*rc::gen::inRange(0, 4)];
    void checkPreconditions(const Model& model) const override { RC_PRE(!model.open); }
    void apply(Model& model) const override {
        model.kernel.resolution = resolution;
        model.kernel.format = format.value;
    }
    void act(const Model&, DialogSession& session) const override {
        session.styles.setFromElsewhere(resolutionPath, resolution);
        session.styles.setFromElsewhere(formatPath, long{format.value});
    }
    void show(std::ostream& out) const override {
        out << "elsewhere: " << resolution << " dpi, " << format.label;
    }
};

} // namespace

RC_GTEST_PROP(ExportDialogStateful, WhatTheDialogShowsIsWhatTheKernelHoldsAndTheFileGets, ()) {
    DialogSession session;
    session.SetUp();
    session.styles.setFromElsewhere(imageWidthPath, long{800});
    Model model;
    model.kernel = session.kernelSettings(DialogSession::widthChoiceOfTheProcess());
    rc::state::check(
        model, session,
        rc::state::gen::execOneOfWithArgs<Open, ChooseFormat, ChooseRegion, TypeWidth, UseScreenWidth,
                                          ToggleColour, OkWithFile, Cancel, ChangeElsewhere>());
    session.TearDown();
}

} // namespace qelmar::exporting::test
