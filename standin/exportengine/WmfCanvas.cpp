#include "exportengine/WmfCanvas.h"

#include <QPoint>
#include <QSize>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace qelmar::standin {

namespace {

enum Function : quint16 {
    EndOfFile = 0x0000,
    SaveDC = 0x001E,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetTextColor = 0x0209,
    SetTextAlign = 0x012E,
    RestoreDC = 0x0127,
    SelectObject = 0x012D,
    DeleteObject = 0x01F0,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    IntersectClipRect = 0x0416,
    Rectangle = 0x041B,
    ExtTextOut = 0x0A32,
};

constexpr quint16 anisotropicMapping = 8;
constexpr quint16 transparentBackground = 1;
constexpr quint16 solidPenFlatEndsRoundJoins = 0x0200;
constexpr quint16 nullPen = 5;
constexpr quint16 solidBrush = 0;
constexpr quint16 nullBrush = 1;
constexpr quint16 normalWeight = 400;
constexpr quint8 variablePitchSansSerif = 0x22;
constexpr int faceNameBytes = 32;
constexpr quint16 alignLeft = 0, alignRight = 2, alignCentre = 6;
constexpr quint16 alignTop = 0, alignBottom = 8, alignBaseline = 24;
constexpr int largestCoordinate = 32767;
constexpr int largestTextBytes = 4096;
// Past this many objects the longest unused ones are deleted; a plot needs far fewer.
constexpr std::size_t largestObjectTable = 48;

qint16 coordinate(double device) {
    return static_cast<qint16>(
        std::clamp(std::lround(device), -long{largestCoordinate}, long{largestCoordinate}));
}

QPoint devicePoint(const QPointF& point) {
    return QPoint(coordinate(point.x()), coordinate(point.y()));
}

// The points as the file stores them, without the repeats that rounding leaves.
std::vector<QPoint> logicalPoints(const QPolygonF& device) {
    std::vector<QPoint> points;
    points.reserve(static_cast<std::size_t>(device.size()));
    for (const QPointF& point : device) {
        const QPoint logical = devicePoint(point);
        if (points.empty() || points.back() != logical)
            points.push_back(logical);
    }
    return points;
}

// An outline without the repeated first point that closes it: the records close outlines
// themselves.
std::vector<QPoint> outlinePoints(const QPolygonF& device) {
    std::vector<QPoint> points = logicalPoints(device);
    if (points.size() > 1 && points.back() == points.front())
        points.pop_back();
    return points;
}

// Whether the points trace an axis-parallel rectangle, for the shorter Rectangle record.
bool isAxisParallelRectangle(const std::vector<QPoint>& p) {
    if (p.size() != 4)
        return false;
    const bool horizontalFirst =
        p[0].y() == p[1].y() && p[1].x() == p[2].x() && p[2].y() == p[3].y() && p[3].x() == p[0].x();
    const bool verticalFirst =
        p[0].x() == p[1].x() && p[1].y() == p[2].y() && p[2].x() == p[3].x() && p[3].y() == p[0].y();
    return horizontalFirst || verticalFirst;
}

class Record {
public:
    explicit Record(Function function)
        : m_function(function) {}

    Record& word(int value) {
        char bytes[2];
        qToLittleEndian<quint16>(static_cast<quint16>(value), bytes);
        m_parameters.append(bytes, 2);
        return *this;
    }
    Record& point(const QPoint& point) { return word(point.x()).word(point.y()); }
    Record& colour(const QColor& colour) {
        m_parameters.append(static_cast<char>(colour.red()));
        m_parameters.append(static_cast<char>(colour.green()));
        m_parameters.append(static_cast<char>(colour.blue()));
        m_parameters.append('\0');
        return *this;
    }
    // Bytes padded to a whole word.
    Record& text(const QByteArray& bytes) {
        m_parameters.append(bytes);
        if (bytes.size() % 2)
            m_parameters.append('\0');
        return *this;
    }

    const QByteArray& parameters() const { return m_parameters; }
    quint32 words() const { return 3 + static_cast<quint32>(m_parameters.size() / 2); }
    QByteArray bytes() const {
        QByteArray head(6, '\0');
        qToLittleEndian<quint32>(words(), head.data());
        qToLittleEndian<quint16>(m_function, head.data() + 4);
        return head + m_parameters;
    }

private:
    Function m_function;
    QByteArray m_parameters;
};

// What the device context has selected, as far as this file has changed it; RestoreDC brings an
// earlier state back. -1 is the reader's default object.
struct Selection {
    int pen = -1;
    int brush = -1;
    int font = -1;
    QRgb textColour = qRgb(0, 0, 0);
    quint16 textAlign = alignLeft | alignTop;
};

enum class ObjectKind { Pen, Brush, Font };

} // namespace

struct WmfCanvas::Impl {
    QSize extent;
    int unitsPerInch = 1440;
    QByteArray records;
    quint32 largestRecordWords = 0;
    // Every object alive, by its creating record's bytes, with its slot in the object table and
    // when it was last selected.
    struct Object {
        int slot = 0;
        quint64 lastUse = 0;
    };
    std::map<QByteArray, Object> objects;
    std::vector<bool> slotsInUse;
    quint64 uses = 0;
    Selection selected;
    std::vector<Selection> saved; // one per SaveDC not yet restored

    void write(const Record& record) {
        records += record.bytes();
        largestRecordWords = std::max(largestRecordWords, record.words());
    }

    bool isHeld(int slot) const {
        const auto holds = [slot](const Selection& s) {
            return s.pen == slot || s.brush == slot || s.font == slot;
        };
        return holds(selected) || std::any_of(saved.begin(), saved.end(), holds);
    }

    void deleteLongestUnused() {
        auto oldest = objects.end();
        for (auto it = objects.begin(); it != objects.end(); ++it) {
            if (!isHeld(it->second.slot) &&
                (oldest == objects.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        }
        if (oldest == objects.end())
            return;
        write(Record(DeleteObject).word(oldest->second.slot));
        slotsInUse[static_cast<std::size_t>(oldest->second.slot)] = false;
        objects.erase(oldest);
    }

    // Readers put a new object into the lowest free slot of their table.
    int createObject(const Record& creation) {
        if (objects.size() >= largestObjectTable)
            deleteLongestUnused();
        const auto freeSlot = std::find(slotsInUse.begin(), slotsInUse.end(), false);
        const int slot = static_cast<int>(freeSlot - slotsInUse.begin());
        if (freeSlot == slotsInUse.end())
            slotsInUse.push_back(true);
        else
            *freeSlot = true;
        write(creation);
        objects[creation.bytes()] = {slot, 0};
        return slot;
    }

    void select(ObjectKind kind, const Record& creation) {
        auto found = objects.find(creation.bytes());
        const int slot = found != objects.end() ? found->second.slot : createObject(creation);
        objects[creation.bytes()].lastUse = ++uses;
        int& current = kind == ObjectKind::Pen     ? selected.pen
                       : kind == ObjectKind::Brush ? selected.brush
                                                   : selected.font;
        if (current == slot)
            return;
        write(Record(SelectObject).word(slot));
        current = slot;
    }

    void selectPen(const QColor& colour, double width) {
        const int logicalWidth = std::clamp(static_cast<int>(std::lround(width)), 1, largestCoordinate);
        select(ObjectKind::Pen, Record(CreatePenIndirect)
                                    .word(solidPenFlatEndsRoundJoins)
                                    .word(logicalWidth)
                                    .word(0)
                                    .colour(colour));
    }
    void selectNullPen() {
        select(ObjectKind::Pen, Record(CreatePenIndirect).word(nullPen).word(0).word(0).colour(Qt::black));
    }
    void selectBrush(const QColor& colour) {
        select(ObjectKind::Brush, Record(CreateBrushIndirect).word(solidBrush).colour(colour).word(0));
    }
    void selectNullBrush() {
        select(ObjectKind::Brush, Record(CreateBrushIndirect).word(nullBrush).colour(Qt::black).word(0));
    }
    // A negative height asks for the character height rather than the cell's.
    void selectFont(int height) {
        QByteArray face("DejaVu Sans");
        face.append(QByteArray(faceNameBytes - face.size(), '\0'));
        Record font(CreateFontIndirect);
        font.word(-height).word(0).word(0).word(0).word(normalWeight);
        // Italic, underline, strike-out, character set (ANSI), output precision, clip
        // precision, quality, then pitch and family.
        font.text(QByteArray(7, '\0') + static_cast<char>(variablePitchSansSerif));
        font.text(face);
        select(ObjectKind::Font, font);
    }

    void setTextColour(const QColor& colour) {
        if (selected.textColour == colour.rgb())
            return;
        write(Record(SetTextColor).colour(colour));
        selected.textColour = colour.rgb();
    }
    void setTextAlign(quint16 align) {
        if (selected.textAlign == align)
            return;
        write(Record(SetTextAlign).word(align));
        selected.textAlign = align;
    }

    void rectangle(const std::vector<QPoint>& corners) {
        int left = corners[0].x(), right = left, top = corners[0].y(), bottom = top;
        for (const QPoint& corner : corners) {
            left = std::min(left, corner.x());
            right = std::max(right, corner.x());
            top = std::min(top, corner.y());
            bottom = std::max(bottom, corner.y());
        }
        write(Record(Rectangle).word(bottom).word(right).word(top).word(left));
    }

    void points(Function function, const std::vector<QPoint>& points, std::size_t first, std::size_t count) {
        Record record(function);
        record.word(static_cast<int>(count));
        for (std::size_t i = first; i < first + count; ++i)
            record.point(points[i]);
        write(record);
    }

    // Pieces of at most a record's worth, each starting where the one before ended.
    void polyline(const std::vector<QPoint>& line) {
        const std::size_t largest = largestPointCount;
        for (std::size_t first = 0; first + 1 < line.size(); first += largest - 1)
            points(Polyline, line, first, std::min(largest, line.size() - first));
    }

    // An outline too long for one record keeps every n-th point: only plots of more points
    // than a page can show fill such shapes.
    void polygon(const std::vector<QPoint>& outline) {
        if (outline.size() <= static_cast<std::size_t>(largestPointCount)) {
            points(Polygon, outline, 0, outline.size());
            return;
        }
        const std::size_t step = (outline.size() + largestPointCount - 1) / largestPointCount;
        std::vector<QPoint> thinned;
        for (std::size_t i = 0; i < outline.size(); i += step)
            thinned.push_back(outline[i]);
        points(Polygon, thinned, 0, thinned.size());
    }
};

namespace {

QSize extentOf(const QRectF& area, int unitsPerInch) {
    return QSize(std::max(1, static_cast<int>(std::lround(area.width() * unitsPerInch))),
                 std::max(1, static_cast<int>(std::lround(area.height() * unitsPerInch))));
}

quint16 horizontalAlign(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter)
        return alignCentre;
    return alignment & Qt::AlignRight ? alignRight : alignLeft;
}

} // namespace

WmfCanvas::WmfCanvas(const QRectF& area, int unitsPerInch, bool monochrome)
    : Canvas(area, QSizeF(extentOf(area, unitsPerInch)), monochrome)
    , m_impl(std::make_unique<Impl>()) {
    m_impl->extent = extentOf(area, unitsPerInch);
    m_impl->unitsPerInch = unitsPerInch;
    m_impl->write(Record(SetMapMode).word(anisotropicMapping));
    m_impl->write(Record(SetWindowOrg).word(0).word(0));
    m_impl->write(Record(SetWindowExt).word(m_impl->extent.height()).word(m_impl->extent.width()));
    m_impl->write(Record(SetBkMode).word(transparentBackground));
}

WmfCanvas::~WmfCanvas() = default;

int WmfCanvas::unitsPerInchFor(const QRectF& inches) {
    const double side = std::max(inches.width(), inches.height());
    if (!(side > 0))
        return 1440;
    return std::clamp(static_cast<int>(std::floor(largestCoordinate / side)), 1, 1440);
}

void WmfCanvas::fillDevicePolygon(const QPolygonF& device, const QColor& colour) {
    const std::vector<QPoint> outline = outlinePoints(device);
    if (outline.size() < 3)
        return;
    // Even rectangles are filled as polygons: libwmf draws filled Rectangle records half
    // transparent under the transparent background mode that the text needs.
    m_impl->selectNullPen();
    m_impl->selectBrush(colour);
    m_impl->polygon(outline);
}

void WmfCanvas::strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double width,
                                     bool closed) {
    std::vector<QPoint> line = closed ? outlinePoints(device) : logicalPoints(device);
    if (line.size() < 2)
        return;
    m_impl->selectPen(colour, width);
    if (closed && isAxisParallelRectangle(line)) {
        m_impl->selectNullBrush();
        m_impl->rectangle(line);
        return;
    }
    if (closed)
        line.push_back(line.front());
    m_impl->polyline(line);
}

void WmfCanvas::drawDeviceText(const QPointF& anchor, const QString& text, double size, const QColor& colour,
                               Qt::Alignment alignment) {
    const int height = std::clamp(static_cast<int>(std::lround(size)), 1, largestCoordinate);
    QPointF at = anchor;
    quint16 vertical = alignTop;
    if (alignment & Qt::AlignBottom) {
        vertical = alignBottom;
    } else if (alignment & Qt::AlignVCenter) {
        // No alignment centres text vertically; the baseline lies about a third of the
        // character height below the middle of the capitals.
        vertical = alignBaseline;
        at.ry() += height * 0.35;
    }
    const QByteArray bytes = text.toLatin1().left(largestTextBytes);
    m_impl->selectFont(height);
    m_impl->setTextColour(colour);
    m_impl->setTextAlign(horizontalAlign(alignment) | vertical);
    const QPoint point = devicePoint(at);
    m_impl->write(Record(ExtTextOut)
                      .word(point.y())
                      .word(point.x())
                      .word(static_cast<int>(bytes.size()))
                      .word(0)
                      .text(bytes));
}

void WmfCanvas::pushDeviceClip(const QRectF& device) {
    const QPoint topLeft = devicePoint(device.topLeft());
    const QPoint bottomRight = devicePoint(device.bottomRight());
    m_impl->write(Record(SaveDC));
    m_impl->saved.push_back(m_impl->selected);
    m_impl->write(Record(IntersectClipRect)
                      .word(bottomRight.y())
                      .word(bottomRight.x())
                      .word(topLeft.y())
                      .word(topLeft.x()));
}

void WmfCanvas::popDeviceClip() {
    if (m_impl->saved.empty())
        return;
    m_impl->write(Record(RestoreDC).word(-1));
    m_impl->selected = m_impl->saved.back();
    m_impl->saved.pop_back();
}

QByteArray WmfCanvas::takeMetafile() {
    Impl& d = *m_impl;
    while (!d.saved.empty())
        popDeviceClip();
    for (const auto& [creation, object] : d.objects)
        d.write(Record(DeleteObject).word(object.slot));
    d.objects.clear();
    d.write(Record(EndOfFile));

    constexpr int headerWords = 9;
    QByteArray file(22 + 2 * headerWords, '\0');
    auto* placeable = reinterpret_cast<uchar*>(file.data());
    qToLittleEndian<quint32>(0x9AC6CDD7u, placeable);
    qToLittleEndian<quint16>(0, placeable + 4);
    qToLittleEndian<qint16>(0, placeable + 6);
    qToLittleEndian<qint16>(0, placeable + 8);
    qToLittleEndian<qint16>(static_cast<qint16>(d.extent.width()), placeable + 10);
    qToLittleEndian<qint16>(static_cast<qint16>(d.extent.height()), placeable + 12);
    qToLittleEndian<quint16>(static_cast<quint16>(d.unitsPerInch), placeable + 14);
    qToLittleEndian<quint32>(0, placeable + 16);
    quint16 checksum = 0;
    for (int word = 0; word < 10; ++word)
        checksum ^= qFromLittleEndian<quint16>(placeable + 2 * word);
    qToLittleEndian<quint16>(checksum, placeable + 20);

    uchar* header = placeable + 22;
    qToLittleEndian<quint16>(1, header);
    qToLittleEndian<quint16>(headerWords, header + 2);
    qToLittleEndian<quint16>(0x0300, header + 4);
    qToLittleEndian<quint32>(static_cast<quint32>(headerWords + d.records.size() / 2), header + 6);
    qToLittleEndian<quint16>(static_cast<quint16>(d.slotsInUse.size()), header + 10);
    qToLittleEndian<quint32>(d.largestRecordWords, header + 12);
    qToLittleEndian<quint16>(0, header + 16);
    QByteArray result = file + d.records;
    d.records.clear();
    return result;
}

} // namespace qelmar::standin
