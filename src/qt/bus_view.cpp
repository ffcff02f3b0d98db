#include "qt/bus_view.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
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
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this, &b] {
        std::vector<int> chosen;
        for (const QModelIndex& i : table_->selectionModel()->selectedRows()) chosen.push_back(i.row());
        guarded([&b, chosen] { b.grd_sensors.select(chosen); });
    });
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [&b](int row, int) { guarded([&b, row] { b.grd_sensors.double_click(row); }); });
    binder.custom(b.grd_sensors, [this] { follow_grid(); });

    auto* write = new QHBoxLayout;
    write->addWidget(make.check(b.chk_location, "chk_location"));
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

void BusView::follow_grid() {
    const form::Grid& g = program_.frmBus.grd_sensors;
    const QSignalBlocker block(table_);
    table_->setEnabled(g.enabled());
    QStringList headers;
    for (const auto& h : g.headers()) headers << QString::fromStdString(h);
    table_->setColumnCount(static_cast<int>(headers.size()));
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
    table_->clearSelection();
    for (int r : g.selected())
        table_->selectionModel()->select(table_->model()->index(r, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace vor3::qt
