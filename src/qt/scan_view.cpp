#include "qt/scan_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/program.h"
#include "qt/binder.h"
#include "qt/widget_factory.h"

namespace vor3::qt {

ScanView::ScanView(app::Program& program, Binder& binder, QWidget* owner)
    : ToolWindow(owner, false, [&program] { program.scan_window.unload(); }), program_(program) {
    form::FrmScan& s = program.frmScan;
    setObjectName("frmScan");
    WidgetFactory make(binder);

    auto* rows = new QVBoxLayout(this);
    rows->addWidget(make.label(s.lbl_port, "lbl_port"));
    auto* grid = new QGridLayout;
    const struct {
        int label;
        form::ControlArray<form::CheckBox>* boxes;
        const char* name;
    } choices[] = {{0, &s.chk_mode, "chk_mode"}, {1, &s.chk_baud, "chk_baud"}, {2, &s.chk_parity, "chk_parity"}};
    for (const auto& choice : choices) {
        grid->addWidget(make.label(s.lbl_scan(choice.label), make.name("lbl_scan", choice.label)), choice.label, 0);
        int column = 1;
        for (auto& [i, box] : *choice.boxes) {
            QCheckBox* check = make.check(box, make.name(choice.name, i));
            grid->addWidget(check, choice.label, column++);
        }
    }
    grid->addWidget(make.label(s.lbl_scan(3), make.name("lbl_scan", 3)), 3, 0);
    grid->addWidget(make.field(s.txt_response, "txt_response", 5), 3, 1, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(5, 1);
    rows->addLayout(grid);
    rows->addWidget(make.check(s.chk_first, "chk_first"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(make.button(s.cmd_scan, "cmd_scan"));
    buttons->addWidget(make.button(s.cmd_stop, "cmd_stop"));
    buttons->addStretch();
    rows->addLayout(buttons);

    auto* bar = new QProgressBar;
    bar->setObjectName("prg_scan");
    bar->setTextVisible(false);
    binder.progress(s.prg_scan, *bar);
    rows->addWidget(bar);
    QLabel* trying = make.label(s.lbl_trying, "lbl_trying");
    trying->setMinimumWidth(
        trying->fontMetrics().horizontalAdvance(QStringLiteral("ASCII 57600 Even, address 63____")));
    rows->addWidget(trying);
    rows->addWidget(make.label(s.lbl_left, "lbl_left"));
    rows->addWidget(make.label(s.lbl_found, "lbl_found"));

    auto* found = new QListWidget;
    found->setObjectName("lst_found");
    found->setMinimumHeight(90);
    binder.list_box(s.lst_found, *found);
    rows->addWidget(found);
    // A double click takes the find over at once.
    connect(found, &QListWidget::itemDoubleClicked, this, [&s] { guarded([&s] { s.cmd_take.press(); }); });
    auto* take = new QHBoxLayout;
    take->addStretch();
    take->addWidget(make.button(s.cmd_take, "cmd_take"));
    rows->addLayout(take);

    binder.custom(program.frmScan, [this] { follow(program_.frmScan); });
}

}  // namespace vor3::qt
