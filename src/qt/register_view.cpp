#include "qt/register_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
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
    binder.custom(r.grd_registers, [this] { follow_grid(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(make.button(r.cmd_copy, "cmd_copy"));
    rows->addLayout(buttons);
    resize(700, 520);

    binder.custom(r, [this] { follow(program_.frmRegisters); });
}

void RegisterView::follow_grid() {
    const form::Grid& g = program_.frmRegisters.grd_registers;
    const QSignalBlocker block(table_);
    QStringList headers;
    for (const auto& h : g.headers()) headers << QString::fromStdString(h);
    if (table_->columnCount() != headers.size()) table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    table_->setRowCount(static_cast<int>(g.rows().size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const auto& cells = g.rows()[static_cast<std::size_t>(r)];
        for (int c = 0; c < table_->columnCount() && c < static_cast<int>(cells.size()); ++c) {
            const QString text = QString::fromStdString(cells[static_cast<std::size_t>(c)]);
            QTableWidgetItem* item = table_->item(r, c);
            if (!item)
                table_->setItem(r, c, new QTableWidgetItem(text));
            else if (item->text() != text)
                item->setText(text);
        }
    }
}

}  // namespace vor3::qt
