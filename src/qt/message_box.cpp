#include "qt/message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "form/frm_config.h"

namespace vor3::qt {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void QtMessageBox::show(const std::string& text, const std::string& detail) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, form::kAppTitle, q(text), QMessageBox::Ok, parent_);
    box->setTextFormat(Qt::PlainText);
    if (!detail.empty()) box->setInformativeText(q(detail));
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent_)
        box->open();
    else
        box->show();
}

bool QtConfirmDialog::confirm(const std::string& title, const std::string& text, const std::string& ok,
                              const std::string& cancel) {
    QMessageBox box(QMessageBox::Question, q(title), q(text), QMessageBox::NoButton, parent_);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(q(ok), QMessageBox::AcceptRole);
    box.addButton(q(cancel), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace vor3::qt
