#include "qt/register_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/program.h"
#include "qt/binder.h"
#include "qt/widget_factory.h"

namespace vor3::qt {

RegisterView::RegisterView(app::Program& program, Binder& binder, QWidget* owner)
    : ToolWindow(owner, true, [&program] { program.register_window.unload(); }),
      program_(program),
      table_(new QTableWidget) {
    form::FrmRegisters& r = program.frmRegisters;
    setObjectName("frmRegisters");
    WidgetFactory make(binder);

    auto* rows = new QVBoxLayout(this);
    table_->setObjectName("grd_registers");
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for every column in both languages; high enough for a
    // good part of the thirty rows, the rest a scroll away on a small screen.
    table_->setMinimumSize(640, 260);
    rows->addWidget(table_);
    binder.grid(r.grd_registers, *table_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(make.button(r.cmd_copy, "cmd_copy"));
    rows->addLayout(buttons);
    resize(700, 520);

    binder.custom(r, [this] { follow(program_.frmRegisters); });
}

}  // namespace vor3::qt
