#include "qt/bus_view.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/bus_window.h"
#include "app/program.h"
#include "qt/binder.h"
#include "qt/widget_factory.h"

namespace vor3::qt {

BusView::BusView(app::Program& program, Binder& binder, QWidget* owner)
    : ToolWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint,
                 [&program] { program.bus_window().unload(); }),
      program_(program),
      table_(new QTableWidget) {
    form::FrmBus& b = program.frmBus;
    setObjectName("frmBus");
    WidgetFactory make(binder);

    auto* rows = new QVBoxLayout(this);
    rows->addWidget(make.label(b.lbl_port, "lbl_port"));
    auto* search = new QHBoxLayout;
    search->addWidget(make.check(b.chk_every, "chk_every"));
    search->addWidget(make.label(b.lbl_simulated, "lbl_simulated"));
    search->addWidget(make.field(b.txt_simulated, "txt_simulated", 12));
    search->addStretch();
    search->addWidget(make.button(b.cmd_search, "cmd_search"));
    rows->addLayout(search);

    table_->setObjectName("grd_sensors");
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setMinimumSize(860, 280);
    rows->addWidget(table_);
    binder.grid(b.grd_sensors, *table_);

    auto* write = new QHBoxLayout;
    write->addWidget(make.check(b.chk_location, "chk_location"));
    write->addWidget(make.check(b.chk_pace, "chk_pace"));
    write->addStretch();
    write->addWidget(make.button(b.cmd_write_file, "cmd_write_file"));
    write->addWidget(make.button(b.cmd_write_shown, "cmd_write_shown"));
    rows->addLayout(write);

    auto* bar = new QProgressBar;
    bar->setObjectName("prg_bus");
    bar->setTextVisible(false);
    binder.progress(b.prg_bus, *bar);
    rows->addWidget(bar);
    auto* end = new QHBoxLayout;
    end->addWidget(make.label(b.lbl_state, "lbl_state"), 1);
    end->addWidget(make.button(b.cmd_abort, "cmd_abort"));
    end->addWidget(make.button(b.cmd_report, "cmd_report"));
    rows->addLayout(end);

    binder.custom(program.frmBus, [this] { follow(program_.frmBus); });
}

}  // namespace vor3::qt
