#include "qt/message_box.h"

#include <algorithm>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include "form/frm_config.h"

namespace vor3::qt {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// What a window manager's title bar takes beside the title: the icon and
// the buttons.
constexpr int kTitleBarExtras = 140;

// A box is sized to its text: a long title is cut short by the window
// manager ("ROZ3 RS48...us CO2 V1.0"), and a word wider than a line (a
// path) is broken anywhere in it. Its texts are given the width of the
// title and of their longest word, as far as the screen allows.
void fit_title_and_words(QMessageBox& box) {
    // Beyond the widest box Qt makes for a screen it breaks words anywhere;
    // the texts stay within it, beside the icon.
    const int screen = box.screen() ? box.screen()->availableGeometry().width() : 1280;
    const int widest = (screen <= 1024 ? screen : std::min(screen - 480, 1000)) - 100;
    QFont title_font = box.font();
    title_font.setBold(true);
    const int title = QFontMetrics(title_font).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
    const QRegularExpression blanks(QStringLiteral("\\s+"));
    bool first = true;
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        auto* label = box.findChild<QLabel*>(name);
        if (!label) continue;
        int need = 0;
        for (const QString& word : label->text().split(blanks, Qt::SkipEmptyParts))
            need = std::max(need, label->fontMetrics().horizontalAdvance(word));
        // A label wraps a little inside its width.
        need += 2 * label->fontMetrics().averageCharWidth();
        // The first text sits beside the icon: it need not span the title.
        if (first) need = std::max(need, title - box.iconPixmap().width() - 60);
        first = false;
        label->setMinimumWidth(std::min(need, widest));
    }
}

}  // namespace

void QtMessageBox::show(const std::string& text, const std::string& detail) {
    // Every message the window shows reports something that went wrong or
    // was not done.
    auto* box = new QMessageBox(QMessageBox::Warning, form::kAppTitle, q(text), QMessageBox::Ok, parent_);
    box->setTextFormat(Qt::PlainText);
    if (!detail.empty()) box->setInformativeText(q(detail));
    fit_title_and_words(*box);
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
    fit_title_and_words(box);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace vor3::qt
