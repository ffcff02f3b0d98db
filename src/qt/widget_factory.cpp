#include "qt/widget_factory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "qt/binder.h"
#include "qt/spin_arrows.h"

namespace vor3::qt {

namespace {

template <class W>
W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

}  // namespace

QLabel* WidgetFactory::label(form::Control& c, const QString& name) {
    auto* l = named(new QLabel, name);
    binder_.label(c, *l);
    return l;
}

QLabel* WidgetFactory::row_label(form::Control& c, form::Control& marked, const QString& name) {
    QLabel* l = label(c, name);
    binder_.mark_row(marked, c, *l);
    return l;
}

QLabel* WidgetFactory::value_label(form::Label& c, const QString& name) {
    QLabel* l = label(c, name);
    // Drawn by the style like a field's frame: a plain sunken panel loses
    // its light edges against the window when enabled.
    l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMargin(2);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLabel* WidgetFactory::heading(form::Label& c, const QString& name) {
    QLabel* l = label(c, name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QLineEdit* WidgetFactory::field(form::TextBox& c, const QString& name, int chars) {
    auto* e = named(new QLineEdit, name);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int text = e->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0')));
    e->setFixedWidth(text + 16);
    binder_.text_box(c, *e);
    return e;
}

SpinArrows* WidgetFactory::spin(form::UpDown& c, const QString& name) {
    auto* s = named(new SpinArrows, name);
    binder_.spin(c, *s);
    return s;
}

QCheckBox* WidgetFactory::check(form::CheckBox& c, const QString& name) {
    auto* b = named(new QCheckBox, name);
    binder_.check_box(c, *b);
    return b;
}

QComboBox* WidgetFactory::combo(form::ComboBox& c, const QString& name) {
    auto* b = named(new DropDownList, name);
    b->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    binder_.combo_box(c, *b);
    return b;
}

QGroupBox* WidgetFactory::frame(form::Container& c, const QString& name) {
    auto* g = named(new QGroupBox, name);
    // The title is bold; a style sheet's font, unlike the widget's own,
    // does not pass on to the controls inside.
    g->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; }"));
    binder_.frame(c, *g);
    return g;
}

QPushButton* WidgetFactory::button(form::Button& c, const QString& name) {
    auto* b = named(new QPushButton, name);
    b->setAutoDefault(false);
    binder_.button(c, *b);
    return b;
}

QWidget* joined(QWidget* first, QWidget* second) {
    auto* cell = new QWidget;
    auto* row = new QHBoxLayout(cell);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch();
    return cell;
}

}  // namespace vor3::qt
