#include "results/pdf/list_document.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace qpane::results {

namespace {

QString escaped(const std::string& utf8) {
    return QString::fromStdString(utf8).toHtmlEscaped();
}

// Columns after the bib hold times and numbers: right-aligned, as on the board.
QString cell(const char* tag, const std::string& value, size_t column) {
    const char* align = column == 1 || column == 2 ? "center" : "right";
    return QStringLiteral("<%1 align=\"%2\">%3</%1>")
        .arg(QString::fromLatin1(tag), QString::fromLatin1(align), escaped(value));
}

}  // namespace

std::unique_ptr<QTextDocument> listDocument(const ResultList& list, const ListHeading& heading) {
    QString html = QStringLiteral("<html><body>");
    if (!heading.title.empty()) html += "<h2 align=\"center\">" + escaped(heading.title) + "</h2>";
    if (!heading.date.empty()) html += "<p align=\"center\">" + escaped(heading.date) + "</p>";
    html +=
        "<p>" + escaped(disciplineCaption(list.discipline) + "　ブロック " + list.block) + "</p>";
    const std::vector<std::string> captions = columnCaptions(list.discipline);
    for (const ResultGroup& g : list.groups) {
        html += "<h3>" + escaped(groupCaption(g.group)) + "</h3>";
        html += QStringLiteral(
            "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><thead><tr>");
        for (size_t i = 0; i < captions.size(); ++i)
            html += cell("th", captions[i], i);
        html += "</tr></thead><tbody>";
        for (const ResultRow& r : g.rows) {
            html += "<tr>";
            const std::vector<std::string> fields = columnsOf(list.discipline, r);
            for (size_t i = 0; i < fields.size(); ++i)
                html += cell("td", fields[i], i);
            html += "</tr>";
        }
        html += "</tbody></table>";
    }
    html += "</body></html>";

    auto doc = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(10);
    doc->setDefaultFont(font);
    doc->setHtml(html);
    return doc;
}

std::string pdfOf(const ResultList& list, const ListHeading& heading) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(QString::fromStdString(heading.title));
        writer.setCreator(QStringLiteral("qpane-results"));
        std::unique_ptr<QTextDocument> doc = listDocument(list, heading);
        doc->print(&writer);
    }
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace qpane::results
