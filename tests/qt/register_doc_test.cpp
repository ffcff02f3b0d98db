// The register descriptions the build writes for Help: a PDF of several
// pages in each language, under the name Help opens.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "qt/register_doc.h"
#include "support/temp_dir.h"

namespace vor3::qt::test {
namespace {

TEST(RegisterDescriptionFile, IsAPdfOfSeveralPagesWhereHelpLooksForIt) {
    vor3::test::TempDir dir;
    for (const char* language : {"1031", "1033"}) {
        const QString path = QString::fromStdString(dir.file(std::string(language) + ".pdf"));
        ASSERT_TRUE(write_register_description(path, language));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        EXPECT_TRUE(pdf.startsWith("%PDF-"));
        EXPECT_GE(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page\\b")), 2) << language;
    }
    EXPECT_FALSE(write_register_description(QString::fromStdString(dir.file("no/folder/d.pdf")), "1031"));
    EXPECT_EQ(register_description_name("1031"), "Doc/ROZ3 RS485 Modbus CO2, Register MS_1.pdf");
    EXPECT_EQ(register_description_name("1033"), "Doc/ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf");
}

}  // namespace
}  // namespace vor3::qt::test
