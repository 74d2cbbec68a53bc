#include "postload/HtmlItemDelegate.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCache>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QWidget>

namespace qelmar::sdk::ui::postload {

namespace {

const qreal documentMargin = 2.0;
// Enough for every row a tall list shows at once, selected and not, with room to scroll.
const int cachedDocuments = 512;

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

} // namespace

struct HtmlItemDelegate::Impl {
    // Parsing the HTML and laying it out costs far more than drawing it, and a view repaints the
    // same rows over and over (hover, selection, scrolling), so laid-out documents are kept.
    QCache<QString, QTextDocument> documents{cachedDocuments};

    QTextDocument& document(const QString& html, const QFont& font) {
        const QString key = font.key() + QLatin1Char('\n') + html;
        if (QTextDocument* cached = documents.object(key))
            return *cached;
        auto* created = new QTextDocument;
        created->setDefaultFont(font);
        created->setDocumentMargin(documentMargin);
        created->setHtml(html);
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
