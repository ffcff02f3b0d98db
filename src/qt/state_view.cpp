#include "qt/state_view.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/binder.h"

namespace vor3::qt {

StateView::StateView(form::FrmState& state, Binder& binder, QWidget* owner)
    // A title bar with no button at all is left to the window manager, and
    // some then offer minimise and maximise; with only the close button
    // asked for, they offer that alone.
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      state_(state) {
    setObjectName("frmState");
    auto* rows = new QVBoxLayout(this);

    auto* text = new QLabel;
    text->setObjectName("lblTxt");
    binder.label(state.lblTxt, *text);
    rows->addWidget(text);

    auto* frame = new QFrame;
    frame->setObjectName("frameProgress");
    auto* frame_rows = new QVBoxLayout(frame);
    frame_rows->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QProgressBar;
    bar->setObjectName("ProgressFile");
    bar->setTextVisible(false);
    bar->setMinimumWidth(240);
    frame_rows->addWidget(bar);
    binder.plain(state.frameProgress, *frame);
    binder.progress(state.ProgressFile, *bar);
    rows->addWidget(frame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto [control, name] : {std::pair{&state.Abbruch, "Abbruch"}, std::pair{&state.cmdOK, "cmdOK"}}) {
        auto* button = new QPushButton;
        button->setObjectName(name);
        button->setAutoDefault(false);
        binder.button(*control, *button);
        buttons->addWidget(button);
        // The window keeps one height whether it offers "Abbruch" or not.
        if (control == &state.Abbruch) {
            QSizePolicy keep = button->sizePolicy();
            keep.setRetainSizeWhenHidden(true);
            button->setSizePolicy(keep);
        }
    }
    rows->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    binder.custom(state, [this] { follow_model(); });
}

void StateView::follow_model() {
    setWindowTitle(QString::fromStdString(state_.caption()));
    const bool shown = state_.visible() && state_.loaded();
    if (shown == isVisible()) return;
    if (!shown) {
        hide();
        return;
    }
    adjustSize();
    if (QWidget* owner = parentWidget(); owner && owner->isVisible())
        move(owner->frameGeometry().center() - rect().center());
    show();
    raise();
}

void StateView::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    guarded([this] { state_.key_down(form::kKeyEscape); });
}

void StateView::closeEvent(QCloseEvent* event) {
    // Closing is cancelling where the transfer may be cancelled; otherwise
    // the transfer ends the window.
    event->ignore();
    if (state_.Abbruch.visible()) guarded([this] { state_.Abbruch.press(); });
}

}  // namespace vor3::qt
