#include "qt/binder.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <exception>

#include "qt/colors.h"
#include "qt/spin_arrows.h"
#include "ui/change_marking.h"

namespace vor3::qt {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

void sync_state(const form::Control& c, QWidget& w) {
    // The widget's own state, as in the model; a disabled frame or window
    // greys its children without touching theirs.
    if (w.testAttribute(Qt::WA_ForceDisabled) == c.enabled()) w.setEnabled(c.enabled());
    // A widget not yet placed in a window would open as a window of its
    // own if shown, and placing it hides it again; it is shown with its
    // window unless hidden explicitly, so only hiding is settled now.
    if (!w.parentWidget()) {
        if (!c.visible()) w.setHidden(true);
        return;
    }
    // A placed widget counts as hidden until its window shows it, so only
    // an explicit show or hide settles it.
    if (w.isHidden() == c.visible() || !w.testAttribute(Qt::WA_WState_ExplicitShowHide)) w.setHidden(!c.visible());
    if (w.toolTip() != q(c.tool_tip())) w.setToolTip(q(c.tool_tip()));
}

}  // namespace

void guarded(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& e) {
        qWarning("vor3: unhandled error in a window event: %s", e.what());
    }
}

Binder::~Binder() {
    for (form::Control* c : bound_) c->changed = nullptr;
}

void Binder::custom(form::Control& control, const std::function<void()>& sync) {
    bound_.push_back(&control);
    control.changed = sync;
    sync();
}

void Binder::plain(form::Control& c, QWidget& w) {
    custom(c, [&c, &w] { sync_state(c, w); });
}

void Binder::frame(form::Container& c, QGroupBox& box) {
    custom(c, [&c, &box] {
        sync_state(c, box);
        box.setTitle(q(c.caption()));
    });
}

void Binder::label(form::Control& c, QLabel& label) {
    custom(c, [&c, &label] {
        sync_state(c, label);
        if (label.text() != q(c.caption())) label.setText(q(c.caption()));
        set_widget_color(label, QPalette::WindowText, c.fore_color());
    });
}

void Binder::text_box(form::TextBox& c, QLineEdit& edit) {
    edit.setContextMenuPolicy(Qt::NoContextMenu);
    edit.setAcceptDrops(false);
    edit.installEventFilter(this);
    fields_[&edit] = &c;
    custom(c, [&c, &edit] {
        const QSignalBlocker block(edit);
        sync_state(c, edit);
        if (edit.text() != q(c.text())) edit.setText(q(c.text()));
        if (edit.isReadOnly() != c.read_only()) edit.setReadOnly(c.read_only());
        set_widget_color(edit, QPalette::Text, c.fore_color());
        set_widget_color(edit, QPalette::Base, c.shown_back_color());
    });
}

void Binder::mark_row(form::Control& marked, form::Control& label_control, QLabel& label) {
    // A check box has no text of its own to turn red: its mark shows on
    // the label that names its row.
    auto paint = [&marked, &label_control, &label] {
        set_widget_color(label, QPalette::WindowText,
                         ui::is_marked(marked) ? form::kChangeMark : label_control.fore_color());
    };
    auto after = [paint](std::function<void()> first) {
        return [first = std::move(first), paint] {
            if (first) first();
            paint();
        };
    };
    marked.changed = after(marked.changed);
    label_control.changed = after(label_control.changed);
    bound_.push_back(&marked);
    bound_.push_back(&label_control);
    paint();
}

void Binder::button(form::Button& c, QAbstractButton& button) {
    custom(c, [&c, &button] {
        sync_state(c, button);
        button.setText(q(c.caption()));
    });
    connect(&button, &QAbstractButton::clicked, this, [&c] { guarded([&c] { c.press(); }); });
    // The windows are no dialogs, so no button turns default with the
    // focus: Enter presses the focused button, as Space does.
    button.installEventFilter(this);
    buttons_[&button] = &c;
}

void Binder::check_box(form::CheckBox& c, QCheckBox& box) {
    auto sync = [&c, &box] {
        const QSignalBlocker block(box);
        sync_state(c, box);
        box.setText(q(c.caption()));
        // A box not read shows partly checked, until it is read or clicked.
        const bool not_read = c.value() == form::kGrayed;
        box.setTristate(not_read);
        box.setCheckState(not_read ? Qt::PartiallyChecked : c.value() ? Qt::Checked : Qt::Unchecked);
        set_widget_color(box, QPalette::WindowText, c.fore_color());
    };
    custom(c, sync);
    connect(&box, &QCheckBox::clicked, this, [&c, &box, sync] {
        guarded([&c, &box] { c.set_value(box.checkState() == Qt::Unchecked ? 0 : 1); });
        sync();  // the model may have refused or changed the value back
    });
}

void DropDownList::showPopup() {
    if (opening) opening();
    const int widest = view()->sizeHintForColumn(0) + 2 * view()->frameWidth() +
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    view()->setMinimumWidth(std::max(widest, width()));
    QComboBox::showPopup();
}

void Binder::combo_box(form::ComboBox& c, QComboBox& combo) {
    auto sync = [&c, &combo] {
        const QSignalBlocker block(combo);
        sync_state(c, combo);
        QStringList items;
        for (const auto& item : c.items()) items << q(item);
        bool same = combo.count() == items.size();
        for (int i = 0; same && i < items.size(); ++i) same = combo.itemText(i) == items[i];
        // A text the user is typing stays until it is entered.
        const bool typing = combo.isEditable() && combo.lineEdit()->isModified();
        if (!same) {
            combo.clear();
            combo.addItems(items);
        }
        if (!same || !typing) combo.setCurrentIndex(c.list_index());
        set_widget_color(combo, QPalette::ButtonText, c.fore_color());
        set_widget_color(combo, QPalette::Text, c.fore_color());
    };
    if (c.editable) {
        combo.setEditable(true);
        combo.setInsertPolicy(QComboBox::NoInsert);
        // Completing a typed path to a listed one would open a port the
        // user did not type.
        combo.setCompleter(nullptr);
        QLineEdit* edit = combo.lineEdit();
        connect(edit, &QLineEdit::editingFinished, this, [&c, edit, sync] {
            // The list opening takes the focus; the user is not done yet.
            if (QApplication::activePopupWidget()) return;
            const bool typed = edit->isModified();
            edit->setModified(false);
            if (typed) guarded([&c, edit] { c.enter_text(edit->text().toStdString()); });
            sync();
        });
    }
    if (auto* list = dynamic_cast<DropDownList*>(&combo)) list->opening = [&c] { guarded([&c] { c.drop_down(); }); };
    custom(c, sync);
    connect(&combo, &QComboBox::currentIndexChanged, this, [&c, &combo, sync](int i) {
        if (combo.isEditable()) combo.lineEdit()->setModified(false);
        if (i >= 0 && i < c.list_count()) guarded([&c, i] { c.set_list_index(i); });
        sync();
    });
}

void Binder::list_box(form::ListBox& c, QListWidget& list) {
    auto sync = [&c, &list] {
        const QSignalBlocker block(list);
        sync_state(c, list);
        QStringList items;
        for (const auto& item : c.items()) items << q(item);
        bool same = list.count() == items.size();
        for (int i = 0; same && i < items.size(); ++i) same = list.item(i)->text() == items[i];
        if (!same) {
            list.clear();
            list.addItems(items);
        }
        list.setCurrentRow(c.list_index());
    };
    custom(c, sync);
    connect(&list, &QListWidget::currentRowChanged, this, [&c, sync](int i) {
        if (i >= 0 && i < c.list_count()) guarded([&c, i] { c.set_list_index(i); });
        sync();
    });
}

void Binder::grid(form::Grid& c, QTableWidget& table) {
    custom(c, [&c, &table] {
        const QSignalBlocker block(table);
        sync_state(c, table);
        QStringList headers;
        for (const auto& h : c.headers()) headers << q(h);
        table.setColumnCount(static_cast<int>(headers.size()));
        table.setHorizontalHeaderLabels(headers);
        table.setRowCount(static_cast<int>(c.rows().size()));
        for (int r = 0; r < table.rowCount(); ++r) {
            const auto& cells = c.rows()[static_cast<std::size_t>(r)];
            for (int k = 0; k < table.columnCount() && k < static_cast<int>(cells.size()); ++k) {
                const QString text = q(cells[static_cast<std::size_t>(k)]);
                QTableWidgetItem* item = table.item(r, k);
                if (!item)
                    table.setItem(r, k, new QTableWidgetItem(text));
                else if (item->text() != text)
                    item->setText(text);
            }
        }
        table.clearSelection();
        for (int r : c.selected())
            table.selectionModel()->select(table.model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    });
    connect(&table, &QTableWidget::itemSelectionChanged, this, [&c, &table] {
        std::vector<int> chosen;
        for (const QModelIndex& i : table.selectionModel()->selectedRows()) chosen.push_back(i.row());
        guarded([&c, chosen] { c.select(chosen); });
    });
    connect(&table, &QTableWidget::cellDoubleClicked, this,
            [&c](int row, int) { guarded([&c, row] { c.double_click(row); }); });
}

void Binder::progress(form::ProgressBar& c, QProgressBar& bar) {
    custom(c, [&c, &bar] {
        sync_state(c, bar);
        bar.setRange(c.min(), c.max());
        bar.setValue(c.value());
    });
}

void Binder::menu_item(form::MenuItem& c, QAction& action) {
    custom(c, [&c, &action] {
        // A separator shows its text in some styles; it has none here.
        const bool separator = c.caption() == "-";
        action.setSeparator(separator);
        action.setText(separator ? QString() : q(c.caption()));
        action.setEnabled(c.enabled());
        action.setVisible(c.visible());
    });
    connect(&action, &QAction::triggered, this, [&c] { guarded([&c] { c.press(); }); });
}

void Binder::tab(form::TabControl& c, QTabWidget& tabs) {
    auto sync = [&c, &tabs] {
        const QSignalBlocker block(tabs);
        sync_state(c, tabs);
        for (int i = 0; i < tabs.count() && i < static_cast<int>(c.tab_captions.size()); ++i)
            tabs.setTabText(i, q(c.tab_captions[static_cast<std::size_t>(i)]));
        if (c.tab() >= 0 && c.tab() < tabs.count()) tabs.setCurrentIndex(c.tab());
    };
    custom(c, sync);
    connect(&tabs, &QTabWidget::currentChanged, this, [&c, sync](int i) {
        guarded([&c, i] { c.set_tab(i); });
        sync();
    });
}

void Binder::spin(form::UpDown& c, SpinArrows& arrows) {
    custom(c, [&c, &arrows] { sync_state(c, arrows); });
    c.width = arrows.width();
    c.height = arrows.height();
    arrows.on_resize = [&c](int w, int h) {
        c.width = w;
        c.height = h;
    };
    arrows.on_mouse_down = [&c](double x, double y) {
        if (c.on_mouse_down) guarded([&] { c.on_mouse_down(c.index(), x, y); });
    };
    arrows.on_mouse_move = [&c](double x, double y) {
        if (c.on_mouse_move) guarded([&] { c.on_mouse_move(c.index(), x, y); });
    };
    arrows.on_mouse_up = [&c] {
        if (c.on_mouse_up) guarded([&] { c.on_mouse_up(c.index()); });
    };
    arrows.on_step = [&c](bool up) {
        auto& handler = up ? c.on_up : c.on_down;
        if (handler) guarded([&] { handler(c.index()); });
    };
}

bool Binder::eventFilter(QObject* watched, QEvent* event) {
    if (const auto b = buttons_.find(watched); b != buttons_.end()) {
        if (event->type() != QEvent::KeyPress) return false;
        const auto key = static_cast<const QKeyEvent&>(*event).key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        form::Button& button = *b->second;
        guarded([&button] { button.press(); });
        return true;
    }
    const auto it = fields_.find(watched);
    if (it == fields_.end()) return false;
    form::TextBox& box = *it->second;
    auto* edit = static_cast<QLineEdit*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: return key_press(box, *edit, static_cast<const QKeyEvent&>(*event));
    case QEvent::Wheel: {
        if (!box.on_wheel) return false;
        // Whole notches; a touchpad's small turns add up to one.
        int& turned = wheel_turned_[watched];
        turned += static_cast<const QWheelEvent&>(*event).angleDelta().y();
        const int notches = turned / 120;
        turned -= notches * 120;
        guarded([&box, notches] { box.wheel(notches); });
        return true;
    }
    case QEvent::FocusOut: {
        // Another window or a list's popup taking the focus is not the user
        // leaving the field.
        const auto reason = static_cast<const QFocusEvent&>(*event).reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            guarded([&box] { box.lose_focus(); });
        return false;
    }
    case QEvent::InputMethod: return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // no middle-button paste past the model
        return static_cast<const QMouseEvent&>(*event).button() == Qt::MiddleButton;
    default: return false;
    }
}

namespace {

// The caret and selection of a line edit as byte offsets into the model's
// UTF-8 text.
std::pair<std::size_t, std::size_t> selection_of(const QLineEdit& edit) {
    const QString text = edit.text();
    int start = edit.cursorPosition(), length = 0;
    if (edit.hasSelectedText()) {
        start = edit.selectionStart();
        length = static_cast<int>(edit.selectedText().size());
    }
    const auto bytes = [&](int chars) { return static_cast<std::size_t>(text.left(chars).toUtf8().size()); };
    return {bytes(start), bytes(start + length) - bytes(start)};
}

void place_caret(QLineEdit& edit, const std::string& model_text, std::size_t offset) {
    edit.setCursorPosition(static_cast<int>(QString::fromUtf8(model_text.substr(0, offset)).size()));
}

}  // namespace

bool Binder::key_press(form::TextBox& box, QLineEdit& edit, const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End: return false;  // moving the caret changes nothing in the model
    case Qt::Key_Up:
    case Qt::Key_Down:
        guarded([&box, &event] { box.key_down(event.key() == Qt::Key_Up ? form::kKeyUp : form::kKeyDown); });
        return true;
    default: break;
    }
    // Plain variables, not a structured binding: the lambdas below capture
    // them, which clang 14 does not allow for bindings.
    const auto selection = selection_of(edit);
    const std::size_t start = selection.first, length = selection.second;
    if (event.matches(QKeySequence::Paste)) {
        const std::string text = QGuiApplication::clipboard()->text().toStdString();
        std::size_t caret = start;
        guarded([&] { caret = box.paste(text, start, length); });
        place_caret(edit, box.text(), caret);
        return true;
    }
    if (event.matches(QKeySequence::SelectAll) || event.matches(QKeySequence::Copy)) return false;
    // Other shortcuts (undo, cut) would edit the field behind the model's
    // back; they do nothing here.
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return true;
    int key = 0;
    if (event.key() == Qt::Key_Backspace) {
        key = 8;
    } else if (event.key() == Qt::Key_Delete) {
        key = 127;
    } else {
        const QString text = event.text();
        if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() != 127) key = text[0].unicode();
    }
    if (key == 0) return true;
    const std::string before = box.text();
    std::size_t caret = start;
    guarded([&] { caret = box.type_key(key, start, length); });
    // A refused key changes nothing, not even the selection the next key
    // is to replace. A key taken moves the caret past it even where the
    // text reads as before (a "1" typed over a selected "1"), else the
    // next key would replace the selection still shown.
    if (box.text() != before || caret != start) place_caret(edit, box.text(), caret);
    return true;
}

}  // namespace vor3::qt
