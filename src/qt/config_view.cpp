#include "qt/config_view.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLayout>
#include <QTimer>

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/bus_window.h"
#include "model/captions.h"
#include "qt/about_view.h"
#include "qt/bus_view.h"
#include "qt/config_pages.h"
#include "qt/logo.h"
#include "qt/placement.h"
#include "qt/register_view.h"
#include "qt/scan_view.h"
#include "qt/state_view.h"
#include "qt/traffic_view.h"
#include "qt/trend_view.h"
#include "qt/widget_factory.h"
#include "ui/config_window.h"
#include "ui/language.h"

namespace vor3::qt {

ConfigView::ConfigView(app::Program& program, QWidget* parent) : QMainWindow(parent), program_(program) {
    form::FrmConfig& f = program.frm_config;
    setObjectName("frm_config");
    WidgetFactory make(binder_);

    auto* central = new QWidget;
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(8, 6, 8, 8);

    auto* top = new QHBoxLayout;
    top->addWidget(build_parameter_frame(f, make));
    auto* logo = new QLabel;
    logo->setObjectName("Picture1");
    logo->setPixmap(draw_logo(devicePixelRatioF()));
    binder_.plain(f.Picture1, *logo);
    top->addStretch();
    top->addWidget(logo, 0, Qt::AlignRight | Qt::AlignVCenter);
    rows->addLayout(top);

    auto* tabs = new QTabWidget;
    tabs->setObjectName("SSTab1");
    tabs->addTab(build_general_page(f, make), QString());
    tabs->addTab(build_display_page(f, make), QString());
    binder_.tab(f.SSTab1, *tabs);
    rows->addWidget(tabs);

    rows->addWidget(build_action_frame(f, make));
    setCentralWidget(central);
    build_menus();

    state_ = new StateView(program.frmState, binder_, this);
    about_ = new AboutView(program.ctx, binder_, this);
    scan_ = new ScanView(program, binder_, this);
    traffic_ = new TrafficView(program, binder_, this);
    trend_ = new TrendView(program, binder_, this);
    bus_ = new BusView(program, binder_, this);
    registers_ = new RegisterView(program, binder_, this);

    // The window's own enabled state greys its contents, not the window:
    // message boxes and the status window are its children and must stay
    // usable while the model has it disabled.
    binder_.custom(f, [this, &f] {
        setWindowTitle(QString::fromStdString(f.caption()));
        if (!f.enabled() && centralWidget()->isEnabled()) focus_before_transfer_ = focusWidget();
        centralWidget()->setEnabled(f.enabled());
        menuBar()->setEnabled(f.enabled());
        if (f.enabled()) return_focus();
    });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void ConfigView::fit_both_languages() {
    // The window has one size in either language, the larger of the two,
    // so that the English one is not narrower and nothing moves when a
    // technician switches.
    if (fitted_) return;
    fitted_ = true;
    ensurePolished();
    QSize need;
    guarded([this, &need] {
        for (const char* language : {model::kGerman, model::kEnglish}) {
            ui::caption_configuration_window(program_.ctx, language);
            // A new text reaches the sizes of the frames around it one
            // level per layout request.
            for (int level = 0; level < 12; ++level) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            need = need.expandedTo(centralWidget()->sizeHint());
        }
        ui::caption_configuration_window(program_.ctx, program_.g.lang.language);
    });
    centralWidget()->setMinimumSize(need);
    layout()->activate();
}

void ConfigView::showEvent(QShowEvent* event) {
    fit_both_languages();
    if (centre_on_show_) {
        centre_on_show_ = false;
        // Placed as it is shown, at the size its fixed layout has settled
        // on, before the window manager maps it: one that comes without a
        // place is put where the window manager likes, at times with the
        // title bar off the screen. The frame is known only once the window
        // manager has framed it; the place is corrected if the frame is
        // known soon after.
        const auto place = [this] {
            const QScreen* s = screen();
            if (!s) return;
            const QSize outer = frame_size(*this);
            move_frame(*this, form::centred_on(rect_of(s->availableGeometry()), {outer.width(), outer.height()}));
        };
        place();
        QTimer::singleShot(0, this, [this, place] {
            if (frameGeometry() != geometry()) place();
        });
    }
    QMainWindow::showEvent(event);
}

ConfigView::~ConfigView() = default;

void ConfigView::build_menus() {
    form::FrmConfig& f = program_.frm_config;
    for (form::MenuItem* bar_item : f.menu_bar) {
        form::MenuItem& item = *bar_item;
        const int i = item.index();
        if (item.children.empty()) {
            QAction* action = menuBar()->addAction(QString());
            action->setObjectName(WidgetFactory::name("MenueMain", i));
            binder_.menu_item(item, *action);
            continue;
        }
        QMenu* menu = menuBar()->addMenu(QString());
        menu->setObjectName(WidgetFactory::name("MenueMain", i));
        binder_.menu_item(item, *menu->menuAction());
        const char* items = i == 1 ? "ParMenueMain" : "AnsichtMenue";
        for (form::MenuItem* child : item.children) {
            QAction* action = menu->addAction(QString());
            action->setObjectName(WidgetFactory::name(items, child->index()));
            binder_.menu_item(*child, *action);
        }
        if (i == 1) {
            // Loading and saving parameters as files are opened and saved
            // everywhere else.
            menu->findChild<QAction*>("ParMenueMain_1")->setShortcut(QKeySequence::Open);
            menu->findChild<QAction*>("ParMenueMain_2")->setShortcut(QKeySequence::Save);
        }
    }
}

void ConfigView::return_focus() {
    // Disabling the window for a transfer takes the focus from its control;
    // left to itself, Qt hands it to the first control that takes it, the
    // port's open/close list, where one arrow key closes the port.
    QWidget* before = focus_before_transfer_;
    focus_before_transfer_ = nullptr;
    if (before && before->isEnabled() && before->isVisible() && before->focusPolicy() != Qt::NoFocus)
        before->setFocus(Qt::OtherFocusReason);
}

void ConfigView::show_centered() {
    centre_on_show_ = true;
    show();
}

void ConfigView::closeEvent(QCloseEvent* event) {
    if (program_.bus_window().busy()) {
        // A run over the line finishes the sensor in progress first, so
        // none is left half-written; its message says what was done.
        guarded([this] { program_.bus_window().unload(); });
        event->ignore();
        auto* wait = new QTimer(this);
        connect(wait, &QTimer::timeout, this, [this, wait] {
            if (program_.bus_window().busy() || QApplication::activeModalWidget()) return;
            wait->deleteLater();
            close();
        });
        wait->start(50);
        return;
    }
    bool may_close = true;
    guarded([this, &may_close] { may_close = ui::frm_config_QueryUnload(program_.ctx); });
    if (!may_close) {
        event->ignore();
        return;
    }
    guarded([this] { ui::frm_config_Unload(program_.ctx); });
    event->accept();
    if (program_.ctx.end_program) program_.ctx.end_program();
}

}  // namespace vor3::qt
