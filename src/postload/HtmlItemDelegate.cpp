#include "postload/HtmlItemDelegate.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCache>
#include <QHash>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QWidget>

#include <memory>

namespace qelmar::sdk::ui::postload {

namespace {

const qreal documentMargin = 2.0;
// Enough for every row a tall list shows at once, selected and not, with room to scroll.
const int cachedDocuments = 512;
// Rows share a handful of style blocks (one per mix of statuses, selected or not, per font);
// more than this many means something unusual, and they are parsed afresh.
const int keptStyles = 32;

// Colours that read on the selection highlight.
QString withHighlightColours(QString html) {
    html.replace(QLatin1String("color:'blue';"), QLatin1String("color:'orange';"));
    html.replace(QLatin1String("color:'green';"), QLatin1String("color:'red';"));
    html.replace(QLatin1String("color:'black';"), QLatin1String("color:'white';"));
    return html;
}

QFont defaultFont(const QStyleOptionViewItem& option) {
    return option.widget ? option.widget->font() : QApplication::font();
}

// A row's leading style block and the rest of its HTML; no style when it has none.
struct StyledHtml {
    QString style;
    QString body;
};

StyledHtml splitStyle(const QString& html) {
    static const QLatin1String open("<style>");
    static const QLatin1String close("</style>");
    if (!html.startsWith(open))
        return {QString(), html};
    const qsizetype end = html.indexOf(close, open.size());
    if (end < 0)
        return {QString(), html};
    return {html.mid(open.size(), end - open.size()), html.mid(end + close.size())};
}

} // namespace

struct HtmlItemDelegate::Impl {
    // Parsing the HTML and laying it out costs far more than drawing it, and a view repaints the
    // same rows over and over (hover, selection, scrolling), so laid-out documents are kept.
    QCache<QString, QTextDocument> documents{cachedDocuments};
    // Every row repeats one of a few style blocks. Each is parsed once, as the default style
    // sheet of an empty document; a row's document is a clone of it, which takes the parsed
    // sheet along, so a row parses only its own markup.
    QHash<QString, std::shared_ptr<QTextDocument>> styled;

    const QTextDocument& styledEmptyDocument(const QString& style, const QFont& font) {
        const QString key = font.key() + QLatin1Char('\n') + style;
        if (const auto found = styled.constFind(key); found != styled.constEnd())
            return **found;
        if (styled.size() >= keptStyles)
            styled.clear();
        auto document = std::make_shared<QTextDocument>();
        document->setDefaultFont(font);
        document->setDocumentMargin(documentMargin);
        document->setDefaultStyleSheet(style);
        styled.insert(key, document);
        return *document;
    }

    QTextDocument& document(const QString& html, const QFont& font) {
        const QString key = font.key() + QLatin1Char('\n') + html;
        if (QTextDocument* cached = documents.object(key))
            return *cached;
        const StyledHtml parts = splitStyle(html);
        QTextDocument* created = styledEmptyDocument(parts.style, font).clone();
        created->setHtml(parts.body);
        created->documentLayout(); // lays the document out once, here, rather than on every use
        created->idealWidth();
        documents.insert(key, created);
        return *created;
    }
};
HtmlItemDelegate::HtmlItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_impl(std::make_unique<Impl>()) {}

HtmlItemDelegate::~HtmlItemDelegate() = default;

void HtmlItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QString html = item.text;
    item.text.clear();

    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    item.state |= QStyle::State_Active;
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    QAbstractTextDocumentLayout::PaintContext context;
    if (item.state & QStyle::State_Selected) {
        context.palette.setBrush(QPalette::Text,
                                 QBrush(item.palette.color(QPalette::Active, QPalette::HighlightedText)));
        html = withHighlightColours(html);
    }
    QTextDocument& document = m_impl->document(html, defaultFont(item));

    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
    painter->save();
    painter->translate(textRect.left() + 2, textRect.top() - 2);
    painter->setClipRect(QRect(QPoint(0, 0), QPoint(textRect.right() - textRect.left() - 2,
                                                    textRect.bottom() - textRect.top() + 2)));
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

QSize HtmlItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QTextDocument& document = m_impl->document(item.text, defaultFont(item));
    return QSize(static_cast<int>(document.idealWidth()),
                 QStyledItemDelegate::sizeHint(option, index).height());
}

} // namespace qelmar::sdk::ui::postload
