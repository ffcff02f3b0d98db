// The register descriptions the build writes for Help.
#include <gtest/gtest.h>

#include <QFile>

#include "model/register_map.h"
#include "qt/register_doc.h"
#include "support/temp_dir.h"

namespace vor3::qt::test {
namespace {

TEST(RegisterDescription, ListsEveryRegisterAndCoilInItsLanguage) {
    for (const std::string language : {"1031", "1033"}) {
        const QString html = register_description_html(language);
        for (const auto& f : model::field_map()) {
            QString caption = language == "1033" ? f.caption_en : f.caption_de;
            while (caption.endsWith(':') || caption.endsWith(' ')) caption.chop(1);
            const QString address = QStringLiteral("0x%1").arg(f.address, 4, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
            EXPECT_TRUE(html.contains(caption.toHtmlEscaped())) << caption.toStdString();
            EXPECT_TRUE(html.contains(address)) << address.toStdString();
        }
    }
    EXPECT_TRUE(register_description_html("1033").contains("-10 … 10"));
    EXPECT_TRUE(register_description_html("1033").contains("-3276.8 … 3276.7"));
    EXPECT_TRUE(register_description_html("1031").contains("-3276,8 … 3276,7"));
    EXPECT_EQ(register_description_name("1031"), "Doc/ROZ3 RS485 Modbus CO2, Register MS_1.pdf");
    EXPECT_EQ(register_description_name("1033"), "Doc/ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf");
}

TEST(RegisterDescription, IsWrittenAsAPdfDocument) {
    vor3::test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("d.pdf"));
    ASSERT_TRUE(write_register_description(path, "1033"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(5), "%PDF-");
    EXPECT_FALSE(write_register_description(QString::fromStdString(dir.file("no/folder/d.pdf")), "1031"));
}

}  // namespace
}  // namespace vor3::qt::test
