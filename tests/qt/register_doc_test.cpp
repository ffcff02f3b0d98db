// The register descriptions the build writes for Help: what they say of
// each register and coil, and how they sit on their pages.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <cmath>

#include "model/numbers.h"
#include "model/register_map.h"
#include "model/register_notes.h"
#include "qt/register_doc.h"
#include "support/temp_dir.h"

namespace vor3::qt::test {
namespace {

using model::FieldArray;

class RegisterDescription : public testing::TestWithParam<std::string> {
protected:
    bool english() const { return GetParam() == "1033"; }
};

// A field's table row, found by its caption; "" when missing.
QString row_of(const QString& html, const model::FieldSpec& f, bool english) {
    const char* fixed = model::register_note(f.array, f.index).caption_en;
    QString caption = english ? (fixed ? fixed : f.caption_en) : f.caption_de;
    while (caption.endsWith(':') || caption.endsWith(' ')) caption.chop(1);
    const qsizetype at = html.indexOf(QStringLiteral("<b>%1</b><br>").arg(caption.toHtmlEscaped()));
    if (at < 0) return {};
    const qsizetype start = html.lastIndexOf(QStringLiteral("<tr>"), at);
    return html.mid(start, html.indexOf(QStringLiteral("</tr>"), at) - start);
}

TEST_P(RegisterDescription, DescribesEveryRegisterAndCoilAsTheWindowTakesItAndSaysWhichItHides) {
    // As read: without the joiners that keep "°C" on one line.
    const QString html = register_description_html(GetParam()).remove(QChar(0x2060));
    const std::string sep = english() ? "." : ",";
    const QString hidden = english() ? "Not shown in the window." : "Im Fenster nicht angezeigt.";
    for (const auto& f : model::field_map()) {
        const QString row = row_of(html, f, english());
        ASSERT_FALSE(row.isEmpty()) << f.caption_en;
        // Registers 0 and 1 stand in labels, coil 3 in a list: all shown.
        const bool shown = !f.hidden || (f.array == FieldArray::txt_data_cfg && f.index <= 1) ||
                           (f.array == FieldArray::chk_cfg && f.index == 3);
        EXPECT_EQ(row.contains(hidden), !shown) << f.caption_en;
        const QString address = QStringLiteral("<td>%1<br>0x%2</td>")
                                    .arg(f.address)
                                    .arg(QStringLiteral("%1").arg(f.address, 4, 16, QLatin1Char('0')).toUpper());
        EXPECT_TRUE(row.startsWith(QStringLiteral("<tr>") + address)) << row.toStdString();
        if (f.encoding != model::Encoding::Coil) {
            const std::string range = model::format_number(f.min, sep) + " … " + model::format_number(f.max, sep);
            EXPECT_TRUE(row.contains(QString::fromStdString(range))) << row.toStdString();
            EXPECT_TRUE(row.contains(QStringLiteral("<td>%1</td>").arg(QString(f.unit).toHtmlEscaped())));
        }
    }
    // The window refuses a minimum response time below 5 ms.
    EXPECT_TRUE(row_of(html, model::field(FieldArray::txt_data_cfg, 7), english()).contains("<td>5 … 3000</td>"));
    EXPECT_FALSE(html.contains("humidtiy"));
}

// On the pages of a PDF: each table starts on the page of its heading and
// ends there (no row split, none alone), and cells break lines only after
// a space, a hyphen or a slash, never inside a word or a unit.
TEST_P(RegisterDescription, KeepsEachTableOnOnePageAndEveryWordWhole) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    set_up_register_description(pdf, GetParam());
    const auto document = lay_out_register_description(GetParam(), pdf);
    const qreal page = document->pageSize().height();
    auto page_of = [page](qreal y) { return static_cast<int>(std::floor(y / page)); };
    auto* layout = document->documentLayout();
    QTextBlock heading;
    int tables = 0;
    for (auto it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
        auto* table = qobject_cast<QTextTable*>(it.currentFrame());
        if (!table) {
            if (!it.currentBlock().text().isEmpty()) heading = it.currentBlock();
            continue;
        }
        ++tables;
        EXPECT_EQ(page_of(layout->blockBoundingRect(heading).top()),
                  page_of(layout->frameBoundingRect(table).bottom() - 1))
            << heading.text().toStdString();
        for (int r = 0; r < table->rows(); ++r)
            for (int c = 0; c < table->columns(); ++c)
                for (auto b = table->cellAt(r, c).begin(); !b.atEnd(); ++b) {
                    const QTextBlock block = b.currentBlock();
                    const QString text = block.text();
                    for (int l = 1; l < block.layout()->lineCount(); ++l) {
                        const int at = block.layout()->lineAt(l).textStart();
                        const QChar before = text[at - 1];
                        EXPECT_TRUE(before == ' ' || before == '-' || before == '/' || before == QChar::LineSeparator)
                            << (text.left(at) + "|" + text.mid(at)).toStdString();
                    }
                }
    }
    EXPECT_EQ(tables, 5);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, RegisterDescription, testing::Values("1031", "1033"),
                         [](const auto& info) { return info.param == "1033" ? "English" : "German"; });

TEST(RegisterDescriptionFile, IsAPdfDocumentWhereHelpLooksForIt) {
    vor3::test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("d.pdf"));
    ASSERT_TRUE(write_register_description(path, "1033"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(5), "%PDF-");
    EXPECT_FALSE(write_register_description(QString::fromStdString(dir.file("no/folder/d.pdf")), "1031"));
    EXPECT_EQ(register_description_name("1031"), "Doc/ROZ3 RS485 Modbus CO2, Register MS_1.pdf");
    EXPECT_EQ(register_description_name("1033"), "Doc/ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf");
}

}  // namespace
}  // namespace vor3::qt::test
