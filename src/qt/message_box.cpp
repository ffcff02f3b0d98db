#include "qt/message_box.h"

#include <algorithm>

#include <QLabel>
#include <QLayout>
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

// A message box sizes itself to its text: a long title is then cut short
// by the window manager ("ROZ3 RS48...us CO2 V1.0"), and a word wider than
// a line (a path) is broken anywhere. This one widens itself, once it has
// taken its size, to its title and its longest word, as far as the screen
// allows.
class FittedMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        widen();
    }

private:
    void widen() {
        // Beyond the widest box Qt makes for a screen it breaks words
        // anywhere.
        const int screen = this->screen() ? this->screen()->availableGeometry().width() : 1280;
        const int widest = screen <= 1024 ? screen : std::min(screen - 480, 1000);
        QFont title_font = font();
        title_font.setBold(true);
        int need = QFontMetrics(title_font).horizontalAdvance(windowTitle()) + kTitleBarExtras;
        layout()->activate();
        const QRegularExpression blanks(QStringLiteral("\\s+"));
        for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
            const auto* label = findChild<QLabel*>(name);
            if (!label || label->isHidden()) continue;
            int word = 0;
            for (const QString& w : label->text().split(blanks, Qt::SkipEmptyParts))
                word = std::max(word, label->fontMetrics().horizontalAdvance(w));
            // A label wraps a little inside its width; around it are the
            // icon and the margins.
            need = std::max(need, word + 2 * label->fontMetrics().averageCharWidth() + width() - label->width());
        }
        need = std::min(need, widest);
        if (need <= width()) return;
        const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(need) : this->height();
        setFixedSize(need, std::max(height, layout()->totalMinimumSize().height()));
    }
};

}  // namespace

void QtMessageBox::show(const std::string& text, const std::string& detail) {
    // Every message the window shows reports something that went wrong or
    // was not done.
    auto* box = new FittedMessageBox(QMessageBox::Warning, form::kAppTitle, q(text), QMessageBox::Ok, parent_);
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
    FittedMessageBox box(QMessageBox::Question, q(title), q(text), QMessageBox::NoButton, parent_);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(q(ok), QMessageBox::AcceptRole);
    box.addButton(q(cancel), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace vor3::qt
