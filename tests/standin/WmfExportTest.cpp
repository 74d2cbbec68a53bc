#include "ExportTestScene.h"
#include "common/FileBytes.h"
#include "exportengine/ExportGeometry.h"
#include "exportengine/WmfCanvas.h"
#include "host/KernelErrors.h"
#include "host/KernelExport.h"
#include "host/KernelString.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <QColor>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using exporttest::lastError;

using qelmar::standin::WmfCanvas;
using qelmar::standin::testing::DataSetContents;
using testsupport::contentsOf;

constexpr quint16 polylineFunction = 0x0325;
constexpr quint16 textFunction = 0x0A32;
constexpr quint16 selectFunction = 0x012D;

struct Record {
    quint16 function = 0;
    QByteArray parameters;

    int word(int index) const { return qFromLittleEndian<qint16>(parameters.constData() + 2 * index); }
};

// A metafile read back as a reader walks it: the headers, then record after record by their
// sizes up to the end record, which must end the file.
struct Metafile {
    QByteArray bytes;
    std::vector<Record> records;
    bool walkedToTheEnd = false;

    explicit Metafile(QByteArray file)
        : bytes(std::move(file)) {
        qsizetype at = 22 + 18;
        while (at + 6 <= bytes.size()) {
            const quint32 words = qFromLittleEndian<quint32>(bytes.constData() + at);
            if (words < 3 || at + 2 * qsizetype{words} > bytes.size())
                return;
            Record record{qFromLittleEndian<quint16>(bytes.constData() + at + 4),
                          bytes.mid(at + 6, 2 * qsizetype{words} - 6)};
            at += 2 * qsizetype{words};
            records.push_back(record);
            if (record.function == 0) {
                walkedToTheEnd = at == bytes.size();
                return;
            }
        }
    }

    int word(int offset) const { return qFromLittleEndian<quint16>(bytes.constData() + offset); }
    quint32 dword(int offset) const { return qFromLittleEndian<quint32>(bytes.constData() + offset); }

    bool hasText(const QByteArray& text) const {
        return std::any_of(records.begin(), records.end(), [&text](const Record& record) {
            return record.function == textFunction && record.parameters.mid(8, record.word(2)) == text;
        });
    }
    // Every colour a pen (0x02FA), brush (0x02FC) or text (0x0209) takes.
    std::vector<QColor> colours() const {
        const std::map<quint16, int> colourAt{{0x02FA, 6}, {0x02FC, 2}, {0x0209, 0}};
        std::vector<QColor> found;
        for (const Record& record : records) {
            if (const auto at = colourAt.find(record.function); at != colourAt.end()) {
                const auto* rgb = reinterpret_cast<const uchar*>(record.parameters.constData() + at->second);
                found.emplace_back(rgb[0], rgb[1], rgb[2]);
            }
        }
        return found;
    }
};

class WmfExportTest : public exporttest::ExportTestScene {
protected:
    bool exportAs(const std::string& name, ExportRegion_e region = ExportRegion_CurrentFrame) {
        set({"ExportSetup", "ExportFName"}, path(name));
        set({"ExportSetup", "ExportFormat"}, static_cast<long>(ExportFormat_WindowsMetafile));
        set({"ExportSetup", "ExportRegion"}, static_cast<long>(region));
        return QelUtilExport(false);
    }

    Metafile exported(ExportRegion_e region = ExportRegion_CurrentFrame) {
        EXPECT_TRUE(exportAs("plot.wmf", region)) << lastError();
        return Metafile(contentsOf(path("plot.wmf")));
    }
};

TEST_F(WmfExportTest, HeadersDescribeTheRegionAndTheRecordsWalkToTheEnd) {
    for (ExportRegion_e region : {ExportRegion_CurrentFrame, ExportRegion_WorkArea}) {
        SCOPED_TRACE(testing::Message() << "region " << region);
        const Metafile file = exported(region);
        ASSERT_TRUE(file.walkedToTheEnd);
        EXPECT_EQ(file.dword(0), 0x9AC6CDD7u);
        quint16 checksum = 0;
        for (int word = 0; word < 10; ++word)
            checksum ^= static_cast<quint16>(file.word(2 * word));
        EXPECT_EQ(file.word(20), checksum);

        const QRectF inches = qelmar::standin::regionInches(region);
        const int unitsPerInch = file.word(14);
        EXPECT_EQ(unitsPerInch, 1440); // both regions fit the coordinates at the finest usual unit
        EXPECT_EQ(file.word(10), qRound(inches.width() * unitsPerInch));
        EXPECT_EQ(file.word(12), qRound(inches.height() * unitsPerInch));

        EXPECT_EQ(file.word(22), 1);
        EXPECT_EQ(file.word(24), 9);
        EXPECT_EQ(file.word(26), 0x0300);
        EXPECT_EQ(file.dword(28), static_cast<quint32>((file.bytes.size() - 22) / 2));
        quint32 largest = 0;
        int highestSlot = -1;
        for (const Record& record : file.records) {
            largest = std::max(largest, 3 + static_cast<quint32>(record.parameters.size() / 2));
            if (record.function == selectFunction)
                highestSlot = std::max(highestSlot, record.word(0));
        }
        EXPECT_EQ(file.dword(34), largest);
        EXPECT_GT(file.word(32), highestSlot);
    }
    // A region too wide for 1440 to the inch gets a coarser unit.
    EXPECT_EQ(WmfCanvas::unitsPerInchFor(QRectF(0, 0, 40, 10)), 819);
}

TEST_F(WmfExportTest, FrameNamesAreTextAndMonochromeIsGrey) {
    set({"PrintSetup", "ForceExtra3DSorting"}, true);
    Metafile file = exported(ExportRegion_AllFrames);
    EXPECT_TRUE(file.hasText("Curves"));
    EXPECT_TRUE(file.hasText("Surface"));
    const auto isGrey = [](const QColor& colour) {
        return colour.red() == colour.green() && colour.green() == colour.blue();
    };
    const auto colours = file.colours();
    EXPECT_FALSE(std::all_of(colours.begin(), colours.end(), isGrey));

    set({"PrintSetup", "Palette"}, 0L);
    file = exported(ExportRegion_AllFrames);
    EXPECT_TRUE(file.hasText("Curves"));
    const auto greys = file.colours();
    EXPECT_FALSE(greys.empty());
    EXPECT_TRUE(std::all_of(greys.begin(), greys.end(), isGrey));
}

// A curve of more points than one record may hold goes out in pieces that join up.
TEST_F(WmfExportTest, LongCurvesAreSplitIntoRecordsThatJoin) {
    DataSetContents dense{"Dense", {"t", "a"}, {{}, {}}};
    constexpr int points = 40000;
    // A scribble back and forth across the plot: consecutive points lie in different columns,
    // so the renderer has nothing to reduce.
    for (int point = 0; point < points; ++point) {
        dense.values[0].push_back(static_cast<double>((point * 104729LL) % points));
        dense.values[1].push_back((point * 7919) % 1000);
    }
    app.attachDataSet(curves, dense, false);
    const Metafile file = exported();
    ASSERT_TRUE(file.walkedToTheEnd);
    std::vector<const Record*> pieces;
    for (const Record& record : file.records) {
        if (record.function == polylineFunction && record.word(0) > 1000)
            pieces.push_back(&record);
    }
    ASSERT_GE(pieces.size(), 2u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const int count = pieces[i]->word(0);
        EXPECT_LE(count, WmfCanvas::largestPointCount);
        if (i + 1 < pieces.size()) {
            EXPECT_EQ(pieces[i]->parameters.mid(4 * count - 2, 4), pieces[i + 1]->parameters.mid(2, 4));
        }
    }
}

// Many colours overflow the object table the canvas keeps; the objects it deletes to make room
// must never be selected again, also not by a RestoreDC.
TEST(WmfCanvasTest, EverySelectedObjectExists) {
    WmfCanvas canvas(QRectF(0, 0, 4, 3), 1440, false);
    for (int line = 0; line < 200; ++line) {
        if (line % 20 == 0)
            canvas.pushClip(QRectF(0, 0, 4 - line / 100.0, 3));
        canvas.drawPolyline(qelmar::standin::polygonOf({QPointF(0, line / 100.0), QPointF(4, 0)}),
                            {QColor::fromHsv(line, 255, 200), 1.0});
        canvas.drawText(QPointF(1, 1), QStringLiteral("x"), {8.0 + line % 3, Qt::black, Qt::AlignLeft});
        if (line % 40 == 39)
            canvas.popClip();
    }
    const Metafile file(canvas.takeMetafile());
    ASSERT_TRUE(file.walkedToTheEnd);
    // A reader's object table (0 for a free slot, else the object's serial number) and the
    // objects each saved state holds.
    std::vector<int> table;
    std::map<int, int> kindOf;   // serial number -> creating function
    std::map<int, int> selected; // creating function -> serial number
    std::vector<std::map<int, int>> saved;
    for (const Record& record : file.records) {
        if (record.function == 0x02FA || record.function == 0x02FB || record.function == 0x02FC) {
            const int serial = static_cast<int>(kindOf.size()) + 1;
            kindOf[serial] = record.function;
            const auto free = std::find(table.begin(), table.end(), 0);
            if (free == table.end())
                table.push_back(serial);
            else
                *free = serial;
        } else if (record.function == selectFunction || record.function == 0x01F0) {
            ASSERT_LT(record.word(0), static_cast<int>(table.size()));
            int& slot = table[static_cast<std::size_t>(record.word(0))];
            ASSERT_NE(slot, 0);
            if (record.function == selectFunction)
                selected[kindOf[slot]] = slot;
            else
                slot = 0;
        } else if (record.function == 0x001E) {
            saved.push_back(selected);
        } else if (record.function == 0x0127) {
            ASSERT_FALSE(saved.empty());
            selected = saved.back();
            saved.pop_back();
            for (const auto& [kind, serial] : selected)
                EXPECT_NE(std::find(table.begin(), table.end(), serial), table.end())
                    << "restored a deleted object";
        }
    }
    EXPECT_LE(table.size(), 64u);
    EXPECT_EQ(file.word(32), static_cast<int>(table.size()));
}

TEST_F(WmfExportTest, LibwmfConvertsTheFileToSvg) {
    const QString converter = QStandardPaths::findExecutable(QStringLiteral("wmf2svg"));
    if (converter.isEmpty())
        GTEST_SKIP() << "wmf2svg (libwmf-bin) is not installed";
    ASSERT_TRUE(exportAs("plot.wmf", ExportRegion_AllFrames)) << lastError();
    QProcess process;
    process.start(converter,
                  {"-o", QString::fromStdString(path("plot.svg")), QString::fromStdString(path("plot.wmf"))});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QByteArray svg = contentsOf(path("plot.svg"));
    EXPECT_TRUE(svg.contains("Curves"));
    EXPECT_TRUE(svg.contains("Surface"));
    EXPECT_TRUE(svg.contains("<polyline"));
}

} // namespace
