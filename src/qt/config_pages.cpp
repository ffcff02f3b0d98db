#include "qt/config_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/spin_arrows.h"
#include "qt/widget_factory.h"

namespace vor3::qt {

namespace {

constexpr int kNumberChars = 7;  // "-3276,7" fits

QGridLayout* grid_in(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    return grid;
}

// A configuration field with its spin buttons joined to its right edge,
// as one spin box; the first two show a read-only value instead.
void add_config_row(form::FrmConfig& f, WidgetFactory& make, QGridLayout* grid, int row, int index) {
    grid->addWidget(make.label(f.lbl_cfg(index), make.name("lbl_cfg", index)), row, 0);
    QLineEdit* edit = make.field(f.txt_data_cfg(index), make.name("txt_data_cfg", index), kNumberChars);
    QWidget* field = edit;
    if (f.lbl_cfg_val.has(index)) {
        QLabel* value = make.value_label(f.lbl_cfg_val(index), make.name("lbl_cfg_val", index));
        value->setFixedSize(edit->width(), edit->sizeHint().height());
        field = joined(field, value);
    }
    if (f.UpD_txt_cfg.has(index)) {
        SpinArrows* arrows = make.spin(f.UpD_txt_cfg(index), make.name("UpD_txt_cfg", index));
        arrows->setFixedHeight(edit->sizeHint().height());
        field = joined(field, arrows);
    }
    grid->addWidget(field, row, 1);
}

// Label, field and unit of an input or output value.
void add_value_row(QGridLayout* grid, int row, QLabel* label, QLineEdit* field, QLabel* unit) {
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    if (unit) grid->addWidget(unit, row, 2);
}

void finish(QGridLayout* grid, int columns) {
    grid->setColumnStretch(columns, 1);
    grid->setRowStretch(grid->rowCount(), 1);
}

}  // namespace

QGroupBox* build_parameter_frame(form::FrmConfig& f, WidgetFactory& make) {
    QGroupBox* box = make.frame(f.frm_parameter, "frm_parameter");
    auto* grid = grid_in(box);
    grid->setVerticalSpacing(2);
    // Column by column: which label names which list.
    const struct {
        int label;
        int list;
    } columns[] = {{3, 0}, {1, 1}, {2, 2}, {5, 5}, {6, 6}};
    int column = 0;
    for (const auto& c : columns) {
        grid->addWidget(make.label(f.lbl_parameter(c.label), make.name("lbl_parameter", c.label)), 0, column);
        QComboBox* list = make.combo(f.Combo_Port(c.list), make.name("Combo_Port", c.list));
        // The port list keeps its width whatever the user names in it.
        if (c.list == 0) {
            list->setMinimumContentsLength(22);
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        }
        grid->addWidget(list, 1, column++);
    }
    grid->addWidget(make.label(f.lbl_parameter(0), make.name("lbl_parameter", 0)), 0, column);
    grid->addWidget(make.field(f.txt_Modbus_adress, "txt_Modbus_adress", 4), 1, column++, Qt::AlignLeft);
    grid->addWidget(make.label(f.lbl_parameter(7), make.name("lbl_parameter", 7)), 0, column);
    grid->addWidget(make.check(f.chk_echo, "chk_echo"), 1, column++, Qt::AlignCenter);
    grid->addWidget(make.label(f.lbl_parameter(8), make.name("lbl_parameter", 8)), 0, column);
    grid->addWidget(make.check(f.chk_pace, "chk_pace"), 1, column, Qt::AlignCenter);
    return box;
}

QWidget* build_general_page(form::FrmConfig& f, WidgetFactory& make) {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);

    QGroupBox* config = make.frame(f.frm_allg(1), "frm_allg_1");
    auto* grid = grid_in(config);
    grid->addWidget(make.heading(f.lbl_desc(0), make.name("lbl_desc", 0)), 0, 0, 1, 2);
    int row = 1;
    for (int i : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10}) add_config_row(f, make, grid, row++, i);
    finish(grid, 2);
    columns->addWidget(config);

    auto* right = new QVBoxLayout;
    QGroupBox* in = make.frame(f.frm_hold(0), "frm_hold_0");
    auto* in_grid = grid_in(in);
    QLabel* in_units[] = {make.label(f.lbl_unit(0), make.name("lbl_unit", 0)),
                          make.label(f.lbl_unit_hum(0), make.name("lbl_unit_hum", 0)),
                          make.label(f.lbl_kelvin(3), make.name("lbl_kelvin", 3))};
    for (int i = 0; i <= 2; ++i)
        add_value_row(in_grid, i, make.label(f.lbl_data_in(i), make.name("lbl_data_in", i)),
                      make.field(f.txt_data_in(i), make.name("txt_data_in", i), kNumberChars), in_units[i]);
    // Further inputs the sensor may gain; the model keeps them hidden.
    for (int i = 3; i <= 5; ++i)
        in_grid->addWidget(make.field(f.txt_data_in(i), make.name("txt_data_in", i), kNumberChars), i, 1);
    finish(in_grid, 3);
    right->addWidget(in);

    QGroupBox* out = make.frame(f.frm_val(1), "frm_val_1");
    auto* out_grid = grid_in(out);
    QLabel* out_units[] = {make.label(f.lbl_unit(1), make.name("lbl_unit", 1)),
                           make.label(f.lbl_unit_hum(1), make.name("lbl_unit_hum", 1)),
                           make.label(f.lbl_unit_hum(2), make.name("lbl_unit_hum", 2))};
    for (int i = 0; i <= 2; ++i) {
        // Measured values are shown, never entered: no caret, no tab stop.
        QLineEdit* value = make.field(f.txt_data_out(i), make.name("txt_data_out", i), kNumberChars);
        value->setFocusPolicy(Qt::NoFocus);
        add_value_row(out_grid, i, make.label(f.lbl_read_out(i), make.name("lbl_read_out", i)), value, out_units[i]);
    }
    finish(out_grid, 3);
    right->addWidget(out);
    right->addStretch();
    columns->addLayout(right);
    return page;
}

QWidget* build_display_page(form::FrmConfig& f, WidgetFactory& make) {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);

    QGroupBox* display = make.frame(f.frm_display(0), "frm_display_0");
    auto* grid = grid_in(display);
    grid->addWidget(make.heading(f.lbl_desc(2), make.name("lbl_desc", 2)), 0, 0, 1, 2);
    add_config_row(f, make, grid, 1, 6);
    grid->addWidget(make.heading(f.lbl_desc(3), make.name("lbl_desc", 3)), 2, 0, 1, 2);
    grid->setRowMinimumHeight(2, 28);
    int row = 3;
    for (auto& [i, box] : f.chk_cfg) {
        QWidget* cell = make.check(box, make.name("chk_cfg", i));
        grid->addWidget(make.row_label(f.lbl_read_cfg_bit(i), box, make.name("lbl_read_cfg_bit", i)), row, 0);
        // The temperature unit is chosen from a list in the coil's place.
        if (f.cmb_bit_cfg.has(i)) cell = joined(cell, make.combo(f.cmb_bit_cfg(i), make.name("cmb_bit_cfg", i)));
        grid->addWidget(cell, row++, 1);
    }
    finish(grid, 2);
    columns->addWidget(display);

    QGroupBox* coils = make.frame(f.frm_coils(0), "frm_coils_0");
    auto* coil_grid = grid_in(coils);
    row = 0;
    for (auto& [i, box] : f.chk_inp_bit) {
        QCheckBox* check = make.check(box, make.name("chk_inp_bit", i));
        coil_grid->addWidget(make.row_label(f.lbl_read_bit(i), box, make.name("lbl_read_bit", i)), row, 0);
        coil_grid->addWidget(check, row++, 1);
    }
    finish(coil_grid, 2);
    auto* right = new QVBoxLayout;
    right->addWidget(coils);
    right->addStretch();
    columns->addLayout(right);
    return page;
}

QGroupBox* build_action_frame(form::FrmConfig& f, WidgetFactory& make) {
    QGroupBox* box = make.frame(f.Frm_read, "Frm_read");
    auto* rows = new QVBoxLayout(box);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(make.button(f.cmd_read_device, "cmd_read_device"));
    buttons->addWidget(make.button(f.read_out_parameter, "read_out_parameter"));
    buttons->addWidget(make.button(f.set_parameter, "set_parameter"));
    // The warning stands between the buttons, where the row has room, so
    // that the status line below fits a small screen. It comes and goes;
    // the window should not jump when it does, nor widen for a long text.
    QLabel* warning = make.label(f.warning_line(), make.name("lbl_desc", 16));
    QSizePolicy keep(QSizePolicy::Ignored, QSizePolicy::Preferred);
    keep.setRetainSizeWhenHidden(true);
    warning->setSizePolicy(keep);
    warning->setWordWrap(true);
    // The longest warning takes two lines there.
    warning->setMinimumHeight(2 * warning->fontMetrics().lineSpacing());
    warning->setAlignment(Qt::AlignCenter);
    buttons->addWidget(warning, 1);
    buttons->addWidget(make.label(f.lbl_desc(17), make.name("lbl_desc", 17)));
    buttons->addWidget(make.check(f.chk_read_out, "chk_read_out"));
    rows->addLayout(buttons);
    QLabel* status = make.label(f.status_line, "status_line");
    // Three lines whatever they say, as wide as the buttons make the
    // window: a long word on a write must not widen it or make it jump.
    status->setMinimumHeight(3 * status->fontMetrics().lineSpacing());
    status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rows->addWidget(status);
    return box;
}

}  // namespace vor3::qt
