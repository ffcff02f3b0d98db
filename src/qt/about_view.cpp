#include "qt/about_view.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "model/captions.h"
#include "qt/binder.h"
#include "qt/logo.h"
#include "ui/about.h"

namespace vor3::qt {

namespace {

QLabel* named_label(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    return label;
}

// A link label shows its caption as a link; activating it is a click.
QLabel* link_label(form::LinkLabel& control, Binder& binder, const char* name) {
    QLabel* label = named_label(name);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    binder.custom(control, [&control, label] {
        label->setText(
            QStringLiteral("<a href=\"#\">%1</a>").arg(QString::fromStdString(control.caption()).toHtmlEscaped()));
        label->setVisible(control.visible());
    });
    QObject::connect(label, &QLabel::linkActivated, label, [&control] { guarded([&control] { control.press(); }); });
    return label;
}

}  // namespace

AboutView::AboutView(Context& c, Binder& binder, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), c_(c) {
    form::FAbout& a = c.about;
    setObjectName("fAbout");
    setWindowModality(Qt::ApplicationModal);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(16, 16, 16, 16);
    columns->setSpacing(16);
    auto* logo = named_label("Picture1");
    logo->setPixmap(draw_logo(devicePixelRatioF()));
    columns->addWidget(logo, 0, Qt::AlignTop);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    QLabel* product = named_label("lblVersion");
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    // Wide enough for the product line in either language.
    int widest = 0;
    for (const char* text :
         {model::caption_de(model::Caption::lblVersion), model::caption_en(model::Caption::lblVersion)}) {
        product->setText(QString::fromStdString(text));
        widest = std::max(widest, product->sizeHint().width());
    }
    product->setMinimumWidth(widest);
    binder.label(a.lblVersion, *product);
    grid->addWidget(product, 0, 0, 1, 2);

    int row = 1;
    const auto pair = [&](form::Label& caption, const char* caption_name, QLabel* value) {
        QLabel* left = named_label(caption_name);
        binder.label(caption, *left);
        grid->addWidget(left, row, 0);
        grid->addWidget(value, row++, 1);
    };
    QLabel* version = named_label("Label1");
    binder.label(a.Label1, *version);
    pair(a.Label2, "Label2", version);
    QLabel* notice = named_label("lbl_Software_Hinweis");
    binder.label(a.lbl_Software_Hinweis, *notice);
    grid->addWidget(notice, row++, 0, 1, 2);
    grid->setRowMinimumHeight(row++, 8);
    const struct {
        form::Label& control;
        const char* name;
    } address[] = {{a.lbl_maker_name, "lbl_maker_name"},
                   {a.lbl_maker_street, "lbl_maker_street"},
                   {a.lbl_maker_city, "lbl_maker_city"},
                   {a.lbl_maker_country, "lbl_maker_country"}};
    for (const auto& line : address) {
        QLabel* label = named_label(line.name);
        binder.label(line.control, *label);
        grid->addWidget(label, row++, 0, 1, 2);
    }
    grid->setRowMinimumHeight(row++, 8);
    pair(a.lbltxtEmail, "lbltxtEmail", link_label(a.lblemail, binder, "lblemail"));
    pair(a.lbltxtHyperlink, "lbltxtHyperlink", link_label(a.lblHyperlink, binder, "lblHyperlink"));
    grid->setColumnStretch(1, 1);
    columns->addLayout(grid);

    // The box keeps one size, which the model centres on the screen.
    const QSize need = sizeHint();
    a.width = std::max(a.width, need.width());
    a.height = std::max(a.height, need.height());
    setFixedSize(a.width, a.height);

    binder.custom(a, [this] { follow_model(); });
}

void AboutView::follow_model() {
    const form::FAbout& a = c_.about;
    setWindowTitle(QString::fromStdString(a.caption()));
    const bool shown = a.visible() && a.loaded();
    if (shown == isVisible()) return;
    if (!shown) {
        hide();
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    move(origin + QPoint(a.left, a.top));
    show();
    raise();
    activateWindow();
}

void AboutView::closeEvent(QCloseEvent* event) {
    guarded([this] { ui::fAbout_Unload(c_); });
    event->accept();
}

void AboutView::reject() {
    guarded([this] { ui::fAbout_Unload(c_); });
}

}  // namespace vor3::qt
