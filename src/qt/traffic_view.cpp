#include "qt/traffic_view.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/program.h"
#include "link/traffic.h"
#include "qt/binder.h"
#include "qt/widget_factory.h"

namespace vor3::qt {

TrafficView::TrafficView(app::Program& program, Binder& binder, QWidget* owner)
    : ToolWindow(owner, true, [&program] { program.traffic_window.unload(); }),
      program_(program),
      text_(new QPlainTextEdit) {
    form::FrmTraffic& t = program.frmTraffic;
    setObjectName("frmTraffic");
    WidgetFactory make(binder);

    auto* rows = new QVBoxLayout(this);
    text_->setObjectName("txt_traffic");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setMaximumBlockCount(static_cast<int>(link::TrafficRecord::kCapacity));
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The scroll bar for long lines is always there: one that came and went
    // with them would shrink the view under its last line and hide it.
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setMinimumSize(480, 240);
    rows->addWidget(text_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(make.button(t.cmd_pause, "cmd_pause"));
    buttons->addWidget(make.button(t.cmd_clear, "cmd_clear"));
    buttons->addWidget(make.button(t.cmd_save, "cmd_save"));
    buttons->addStretch();
    buttons->addWidget(make.label(t.lbl_count, "lbl_count"));
    rows->addLayout(buttons);

    // Wide enough for a reply of a few registers on one line, high enough
    // for a whole read.
    const QFontMetrics chars(text_->font());
    resize(chars.horizontalAdvance(QString(112, QLatin1Char('0'))) + 60, chars.lineSpacing() * 22 + 90);

    poll_.setInterval(200);
    connect(&poll_, &QTimer::timeout, this, [this] { pull(); });
    binder.custom(t, [this] { follow_model(); });
}

void TrafficView::pull() {
    const link::TrafficRecord& record = program_.traffic;
    if (record.clears() != clears_) {
        clears_ = record.clears();
        text_->clear();
    }
    QStringList lines;
    for (const auto& e : record.entries())
        if (e.number > shown_) lines << QString::fromStdString(program_.traffic_window.line(e));
    if (!record.entries().empty()) shown_ = std::max(shown_, record.entries().back().number);
    if (lines.isEmpty()) return;
    text_->appendPlainText(lines.join('\n'));
    guarded([this] { program_.traffic_window.show_count(); });
}

void TrafficView::follow_model() {
    const form::FrmTraffic& t = program_.frmTraffic;
    setWindowTitle(QString::fromStdString(t.caption()));
    const bool shown = t.visible() && t.loaded();
    if (shown == isVisible()) return;
    if (!shown) {
        poll_.stop();
        hide();
        return;
    }
    pull();
    poll_.start();
    show();
    raise();
}

}  // namespace vor3::qt
