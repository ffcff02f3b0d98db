// The Win32 window's binding to the model, under wine with a display:
// windows made from the model and driven by the messages a user's input
// sends (characters, clicks, list and tab choices), model and windows
// compared; a whole read of the simulated sensor on the real message loop;
// and pictures of each window in both languages (build-win/screenshots).
#include "win32/windows_api.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/program.h"
#include "app/switching_port.h"
#include "model/captions.h"
#include "model/globals.h"
#include "sim/sim_port.h"
#include "sim/simulated_sensor.h"
#include "support/fakes.h"
#include "support/hives.h"
#include "ui/status_line.h"
#include "ui/status_window.h"
#include "win32/about_view.h"
#include "win32/bus_view.h"
#include "win32/config_view.h"
#include "win32/dialogs.h"
#include "win32/placement.h"
#include "win32/port_text.h"
#include "win32/register_view.h"
#include "win32/scan_view.h"
#include "win32/state_view.h"
#include "win32/traffic_view.h"
#include "win32/trend_view.h"
#include "win32/win32_clock.h"
#include "win32/window_loop.h"

namespace vor3::win32::test {
namespace {

using port_text::narrow;
using port_text::wide;

std::string text_of(HWND w) {
    wchar_t buffer[512] = {};
    GetWindowTextW(w, buffer, 512);
    return narrow(buffer);
}

// A picture of a window (its frame included) as a 24-bit BMP in the
// screenshot folder: what the screen shows where the window is, with the
// window brought to the front and drawn first (wine's PrintWindow draws
// only the window's own background, not its children).
void picture(HWND window, const std::string& name, WindowLoop& loop) {
    std::filesystem::create_directories(VOR3_SCREENSHOT_DIR);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    loop.run_until([] { return false; }, 150);
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_TRUE(BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) << name;
    GdiFlush();
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * h);
    std::ofstream out(std::filesystem::path(wide(std::string(VOR3_SCREENSHOT_DIR "/") + name + ".bmp")),
                      std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), stride * h);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// The colour a window is drawn in, as its parent answers WM_CTLCOLOR*.
COLORREF drawn_color(HWND w, UINT message) {
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(w), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w));
    const COLORREF c = GetTextColor(dc);
    DeleteDC(dc);
    return c;
}

// A running program with its window on the real clock and message loop:
// three scripted "real" ports and the simulated sensor as the fourth
// entry, in the language of the installation's hive.
class ViewTest : public ::testing::Test {
protected:
    void SetUp() override { start(model::kGerman); }
    void start(const char* language) {
        hive = std::filesystem::temp_directory_path() / ("vor3-view-" + std::to_string(GetCurrentProcessId()) + ".reg");
        std::ofstream(hive) << vor3::test::machine_hive("C:\\vor3", language);
        program.g.platform.machine_hive = narrow(hive.wstring());
        view = std::make_unique<ConfigView>(program);
        program.Main();
        view->show_centered();
        loop.run_until([] { return false; }, 50);
    }
    void TearDown() override {
        program.frm_config.stop_all_timers();
        view.reset();
        std::error_code ec;
        std::filesystem::remove(hive, ec);
    }

    HWND at(const char* name) {
        HWND w = view->find(name);
        if (!w) throw std::runtime_error(std::string("no window ") + name);
        return w;
    }
    // What a user's key sends to a field: the key's character.
    void type(HWND edit, const std::string& keys) {
        SetFocus(edit);
        for (char ch : keys) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(ch), 0);
    }
    void choose(HWND combo, int index) {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    void show_tab(int page) {
        HWND tabs = at("SSTab1");
        SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
        NMHDR hdr{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), TCN_SELCHANGE};
        SendMessageW(GetParent(tabs), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    }
    void menu(const form::MenuItem& item) {
        SendMessageW(view->window(), WM_COMMAND, MAKEWPARAM(view->binder().command_of(item), 0), 0);
    }

    std::filesystem::path hive;
    Win32Clock clock;
    WindowLoop loop{clock};
    vor3::test::FakePort real;
    sim::SimulatedSensor sensor{sim::Framing::Auto, 1};
    sim::SimPort simulator{clock, sensor};
    app::SwitchingPort port{real, simulator};
    vor3::test::FakeMessageBox msg;
    vor3::test::FakeConfirm confirm;
    app::Program program{port, msg, confirm, clock};
    form::FrmConfig& f = program.frm_config;
    std::unique_ptr<ConfigView> view;
};

TEST_F(ViewTest, BuildsTheWindowFromTheModel) {
    EXPECT_EQ(text_of(view->window()), "ROZ3 RS485 Modbus CO2 V1.0");
    EXPECT_TRUE(IsWindowVisible(view->window()));
    // The program's icon file, as the Linux build draws it, is one Windows
    // takes in each size it asks for.
    for (int size : {16, 32, 48, 256}) {
        HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0);
        EXPECT_TRUE(icon) << size;
        if (icon) DestroyIcon(static_cast<HICON>(icon));
    }

    // An adapter plugged in since shows as soon as the list is opened.
    HWND ports = at("Combo_Port_0");
    real.names.push_back("COM4");
    SendMessageW(GetParent(ports), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ports), CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(ports));
    ASSERT_EQ(SendMessageW(ports, CB_GETCOUNT, 0, 0), 5);
    wchar_t item[64] = {};
    SendMessageW(ports, CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(narrow(item), "Simulierter Sensor (sim)");

    // Hidden in the model: not shown; the value labels stand in for them.
    EXPECT_FALSE(IsWindowVisible(at("txt_data_cfg_0")));
    EXPECT_TRUE(IsWindowVisible(at("lbl_cfg_val_0")));

    // The file menu: captions with their accelerators, the shortcut keys,
    // a separator with no stray "-".
    HMENU file = GetSubMenu(GetMenu(view->window()), 0);
    ASSERT_TRUE(file);
    wchar_t caption[64] = {};
    GetMenuStringW(file, 0, caption, 64, MF_BYPOSITION);
    EXPECT_EQ(narrow(caption), "&Parameter laden\tStrg+O");
    MENUITEMINFOW separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(file, 2, TRUE, &separator);
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
}

TEST_F(ViewTest, WhatTheUserDoesReachesTheModelAndTheModelShows) {
    // Typing: each key through the model's filter; a letter is refused.
    HWND field = at("txt_data_cfg_4");
    SendMessageW(field, EM_SETSEL, 0, -1);
    type(field, "12");
    EXPECT_EQ(f.txt_data_cfg(4).text(), "12");
    type(field, "x");
    EXPECT_EQ(f.txt_data_cfg(4).text(), "12");
    EXPECT_EQ(text_of(field), "12");
    SendMessageW(field, EM_SETSEL, 0, 0);
    SendMessageW(field, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(text_of(field), "2");

    // An edit turns the field red; the model's colour is what it is drawn in.
    f.txt_data_cfg(4).set_fore_color(form::kChangeMark);
    EXPECT_EQ(drawn_color(field, WM_CTLCOLOREDIT), RGB(255, 0, 0));
    f.txt_data_cfg(4).set_fore_color(form::kNormalText);
    EXPECT_EQ(drawn_color(field, WM_CTLCOLOREDIT), GetSysColor(COLOR_BTNTEXT));
    // A box shows its mark on its row label.
    f.chk_cfg(1).set_fore_color(form::kChangeMark);
    EXPECT_EQ(drawn_color(at("lbl_read_cfg_bit_1"), WM_CTLCOLORSTATIC), RGB(255, 0, 0));

    // A model change shows; the window's own notifications do not come back.
    f.txt_data_cfg(5).set_text("77");
    EXPECT_EQ(text_of(at("txt_data_cfg_5")), "77");

    // The status line shows under the buttons what the model says; neither
    // a long word on it nor the longest warning moves or widens the window.
    HWND status = at("status_line");
    RECT window_before{}, button{}, line{}, warning{};
    GetWindowRect(view->window(), &window_before);
    GetWindowRect(at("cmd_read_device"), &button);
    GetWindowRect(status, &line);
    EXPECT_GE(line.top, button.bottom);
    EXPECT_EQ(text_of(status), f.status_line.caption());
    f.status_line.set_caption("COM1\n" + std::string(300, 'x') + "\nnote");
    EXPECT_EQ(text_of(status), f.status_line.caption());
    f.warning_line().set_caption(model::caption(model::Caption::warning_read_cancelled, model::kGerman));
    f.warning_line().set_visible(true);
    loop.run_until([] { return false; }, 30);
    RECT window_after{};
    GetWindowRect(view->window(), &window_after);
    EXPECT_TRUE(EqualRect(&window_before, &window_after));
    GetClientRect(at("lbl_desc_16"), &warning);
    RECT need{0, 0, warning.right, 0};
    HDC dc = GetDC(at("lbl_desc_16"));
    const HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(at("lbl_desc_16"), WM_GETFONT, 0, 0)));
    DrawTextW(dc, wide(f.warning_line().caption()).c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, font);
    ReleaseDC(at("lbl_desc_16"), dc);
    EXPECT_LE(need.bottom, warning.bottom);

    // A click on a box not read ticks it; a second clears it.
    HWND box = at("chk_inp_bit_0");
    const int before = f.chk_inp_bit(0).value();
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(f.chk_inp_bit(0).value(), before == 1 ? 0 : 1);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), f.chk_inp_bit(0).value() ? BST_CHECKED : BST_UNCHECKED);

    // A list chosen; a tab switched shows its page.
    choose(at("Combo_Port_1"), 0);
    EXPECT_EQ(f.Combo_Port(1).list_index(), 0);
    show_tab(1);
    EXPECT_EQ(f.SSTab1.tab(), 1);
    EXPECT_TRUE(IsWindowVisible(at("chk_cfg_1")));
    EXPECT_FALSE(IsWindowVisible(at("txt_data_cfg_4")));

    // A disabled frame greys its fields without changing their own state.
    f.frm_hold(0).set_enabled(false);
    EXPECT_FALSE(IsWindowEnabled(at("txt_data_in_0")));
    EXPECT_TRUE(f.txt_data_in(0).enabled());
    f.frm_hold(0).set_enabled(true);
    EXPECT_TRUE(IsWindowEnabled(at("txt_data_in_0")));

    // The bus window's table: the model's rows, the user's selection.
    form::Grid& sensors = program.frmBus.grd_sensors;
    sensors.set_headers({"Adresse", "Ort"});
    sensors.set_rows({{"1", "100"}, {"2", "200"}, {"5", "500"}});
    HWND table = view->bus_view().find("grd_sensors");
    ASSERT_EQ(ListView_GetItemCount(table), 3);
    wchar_t cell[32] = {};
    ListView_GetItemText(table, 2, 1, cell, 32);
    EXPECT_EQ(narrow(cell), "500");
    ListView_SetItemState(table, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(sensors.selected(), std::vector<int>{1});
    sensors.set_rows({{"1", "100"}});
    EXPECT_EQ(ListView_GetItemCount(table), 1);

    // The about box is modal while shown and closes with its close box.
    menu(f.MenueMain(2));
    EXPECT_TRUE(IsWindowVisible(view->about_view().window()));
    EXPECT_FALSE(IsWindowEnabled(view->window()));
    SendMessageW(view->about_view().window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(view->about_view().window()));
    EXPECT_TRUE(IsWindowEnabled(view->window()));
}

TEST_F(ViewTest, ReadingTheSimulatedSensorFillsTheWindow) {
    sensor.set_holding(8, 0xFFFB);  // -0,5 K
    sensor.set_holding(0x100, 231);
    sensor.set_holding(0x201, 400);
    // With the traffic window and the register view open beside.
    Win32Clipboard clipboard;
    clipboard.set_owner(view->window());
    program.use_clipboard(clipboard);
    menu(f.AnsichtMenue(3));
    HWND traffic = view->traffic_view().window();
    ASSERT_TRUE(IsWindowVisible(traffic));
    menu(f.AnsichtMenue(6));
    HWND registers = view->register_view().window();
    ASSERT_TRUE(IsWindowVisible(registers));
    RECT traffic_frame{}, registers_frame{}, overlap{};
    GetWindowRect(traffic, &traffic_frame);
    GetWindowRect(registers, &registers_frame);
    // Where the screen has no room for both beside the main window, the
    // second cascades: the first one's title bar stays in sight.
    EXPECT_TRUE(!IntersectRect(&overlap, &traffic_frame, &registers_frame) ||
                registers_frame.top >= traffic_frame.top + GetSystemMetrics(SM_CYCAPTION));
    HWND ports = at("Combo_Port_0");
    SendMessageW(GetParent(ports), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ports), CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(ports));
    choose(ports, port.simulator_number() - 1);
    choose(at("Combo_Port_6"), 1);
    ASSERT_TRUE(simulator.is_open());
    HWND read = at("cmd_read_device");
    ASSERT_TRUE(IsWindowEnabled(read));

    SetFocus(read);
    SendMessageW(read, BM_CLICK, 0, 0);
    HWND state = view->state_view().window();
    ASSERT_TRUE(loop.run_until([&] { return IsWindowVisible(state) != FALSE; }, 3000));
    EXPECT_FALSE(IsWindowEnabled(at("txt_data_cfg_4")));
    // The menu bar greys with the window, and comes back with it.
    auto file_menu_grey = [&] { return (GetMenuState(GetMenu(view->window()), 0, MF_BYPOSITION) & MF_GRAYED) != 0; };
    EXPECT_TRUE(file_menu_grey());
    picture(state, "de_state_reading", loop);
    ASSERT_TRUE(loop.run_until(
        [&] {
            return sensor.requests().size() >= 7 && program.g.transfer.request_kind == model::kIdle &&
                   !program.frmState.loaded();
        },
        10000));

    EXPECT_TRUE(msg.shown.empty());
    EXPECT_FALSE(IsWindowVisible(state));
    EXPECT_FALSE(file_menu_grey());
    EXPECT_EQ(GetFocus(), read);
    std::string shown;
    for (const char* name : {"txt_data_cfg_4", "txt_data_cfg_8", "txt_data_out_0", "txt_data_in_1"})
        shown += text_of(at(name)) + " ";
    EXPECT_EQ(shown, "800 -0,5 23,1 40 ");
    EXPECT_EQ(text_of(at("lbl_cfg_val_0")), f.lbl_cfg_val(0).caption());
    picture(view->window(), "de_read", loop);

    // Each frame on a line of its own, request and answer.
    HWND lines = view->traffic_view().find("txt_traffic");
    ASSERT_TRUE(loop.run_until([&] { return SendMessageW(lines, EM_GETLINECOUNT, 0, 0) >= 14; }, 3000));
    picture(traffic, "de_traffic_reading", loop);
    SendMessageW(traffic, WM_CLOSE, 0, 0);
    EXPECT_FALSE(program.frmTraffic.loaded());
    EXPECT_FALSE(IsWindowVisible(traffic));

    // The register view's rows are the model's; its button copies them, as
    // Unicode text with Windows' line ends.
    HWND table = view->register_view().find("grd_registers");
    const auto& rows = program.frmRegisters.grd_registers.rows();
    ASSERT_EQ(ListView_GetItemCount(table), static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 7; ++c) {
            wchar_t cell[64] = {};
            ListView_GetItemText(table, r, c, cell, 64);
            ASSERT_EQ(narrow(cell), rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]) << r << "," << c;
        }
    EXPECT_EQ(rows[11][3], "0x00E7");
    picture(registers, "de_registers_read", loop);
    SendMessageW(view->register_view().find("cmd_copy"), BM_CLICK, 0, 0);
    ASSERT_TRUE(OpenClipboard(view->window()));
    HANDLE held = GetClipboardData(CF_UNICODETEXT);
    const auto* copied = held ? static_cast<const wchar_t*>(GlobalLock(held)) : nullptr;
    const std::wstring text = copied ? copied : L"";
    if (copied) GlobalUnlock(held);
    CloseClipboard();
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), static_cast<long>(rows.size()) + 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\r'), static_cast<long>(rows.size()) + 1);
    EXPECT_EQ(text.substr(0, 8), L"Adresse\t");
}

TEST_F(ViewTest, TheTrendDrawsTheReadingsOnTwoAxesAndCatchesUp) {
    form::TrendChart& chart = program.frmTrend.cht_trend;
    // Ten minutes of readings every two seconds, with a pause of three
    // minutes in the middle: CO2 in its hundreds, the others in tens.
    const std::int64_t start = 1733580185000;  // 7 December 2024, 14:03:05 UTC
    for (int i = 0; i < 300; ++i) {
        if (i >= 140 && i < 230) continue;
        const double t = i * 2.0;
        chart.add({i * 2000,
                   start + i * 2000,
                   {22 + std::sin(t / 60), 45 + 5 * std::cos(t / 90), 600 + 150 * std::sin(t / 120)}});
    }
    menu(f.AnsichtMenue(4));
    HWND trend = view->trend_view().window();
    ASSERT_TRUE(IsWindowVisible(trend));
    ASSERT_TRUE(loop.run_until([&] { return view->trend_view().drawn() > 0; }, 2000));
    const auto& axes = view->trend_view().value_axes();
    EXPECT_LE(axes[0].lo, 21);
    EXPECT_GE(axes[0].hi, 50);
    EXPECT_LT(axes[0].hi, 100);  // CO2 is not on the left axis
    EXPECT_LE(axes[1].lo, 450);
    EXPECT_GE(axes[1].hi, 750);

    // A new reading is drawn within the catch-up time, once for many.
    const int before = view->trend_view().drawn();
    for (int i = 300; i < 310; ++i) chart.add({i * 2000, start + i * 2000, {30, 45, 900}});
    ASSERT_TRUE(loop.run_until([&] { return view->trend_view().drawn() > before; }, 1000));
    EXPECT_LE(view->trend_view().drawn(), before + 2);
    EXPECT_GE(view->trend_view().value_axes()[1].hi, 900);
    picture(trend, "de_trend", loop);
    SendMessageW(trend, WM_CLOSE, 0, 0);
    EXPECT_FALSE(program.frmTrend.loaded());
}

TEST_F(ViewTest, TheSpinButtonsRepeatByTheModelsTimerAndAPortNameCanBeTyped) {
    // Held down, the arrow steps at once and then by the model's timer;
    // let go, it stops.
    f.txt_data_cfg(4).set_text("10");
    HWND spin = at("UpD_txt_cfg_4");
    SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 2));
    EXPECT_EQ(f.txt_data_cfg(4).text(), "11");
    loop.run_until([] { return false; }, 500);
    SendMessageW(spin, WM_LBUTTONUP, 0, MAKELPARAM(3, 2));
    const std::string held = f.txt_data_cfg(4).text();
    EXPECT_GE(std::stoi(held), 12);
    loop.run_until([] { return false; }, 450);
    EXPECT_EQ(f.txt_data_cfg(4).text(), held);
    EXPECT_EQ(text_of(at("txt_data_cfg_4")), held);
    // The lower half steps down.
    RECT r{};
    GetClientRect(spin, &r);
    SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, r.bottom - 2));
    SendMessageW(spin, WM_LBUTTONUP, 0, MAKELPARAM(3, r.bottom - 2));
    EXPECT_EQ(std::stoi(f.txt_data_cfg(4).text()), std::stoi(held) - 1);

    // A device typed into the port list and confirmed with Enter is the
    // port the window uses.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(at("Combo_Port_0"), &info);
    SetFocus(info.hwndItem);
    SendMessageW(info.hwndItem, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t ch : std::wstring(L"COM9")) SendMessageW(info.hwndItem, WM_CHAR, ch, 0);
    SendMessageW(info.hwndItem, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(f.Combo_Port(0).text(), "COM9");
    EXPECT_EQ(text_of(info.hwndItem), "COM9");
}

// Keys as the keyboard sends them (SendInput), through the message loop.
void keys(std::initializer_list<WORD> down_up, WindowLoop& loop) {
    std::vector<INPUT> input;
    for (WORD key : down_up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = key;
        input.push_back(i);
    }
    for (auto it = down_up.end(); it != down_up.begin();) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *--it;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(i);
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    loop.run_until([] { return false; }, 60);
}

TEST_F(ViewTest, TheKeyboardMovesAndCommandsAsInADialog) {
    struct : form::FileDialog {
        int asked = 0;
        std::optional<std::string> open_file(const std::string&) override { return ++asked, std::nullopt; }
        std::optional<std::string> save_file(const std::string&) override { return ++asked, std::nullopt; }
    } files;
    program.use_file_dialog(files);
    loop.set_accelerators(view->window(), view->accelerators());
    SetForegroundWindow(view->window());

    // Tab goes from field to field down the page; the spin buttons take
    // no stop, and leaving a field is focus lost.
    int lost = 0;
    f.txt_data_cfg(3).on_lost_focus = [&lost](int) { ++lost; };
    SetFocus(at("txt_data_cfg_3"));
    keys({VK_TAB}, loop);
    EXPECT_EQ(GetFocus(), at("txt_data_cfg_4"));
    EXPECT_EQ(lost, 1);
    keys({VK_SHIFT, VK_TAB}, loop);
    EXPECT_EQ(GetFocus(), at("txt_data_cfg_3"));
    // Typed keys reach the model as they do from a message.
    SendMessageW(GetFocus(), EM_SETSEL, 0, -1);
    keys({'7'}, loop);
    EXPECT_EQ(f.txt_data_cfg(3).text(), "7");

    // The shortcut of "Parameter laden" opens the file dialog.
    keys({VK_CONTROL, 'O'}, loop);
    EXPECT_EQ(files.asked, 1);

    // Enter presses the focused button; Escape closes the about box.
    int pressed = 0;
    f.cmd_read_device.on_click = [&pressed](int) { ++pressed; };
    f.cmd_read_device.set_enabled(true);
    SetFocus(at("cmd_read_device"));
    keys({VK_RETURN}, loop);
    EXPECT_EQ(pressed, 1);
    menu(f.MenueMain(2));
    ASSERT_TRUE(IsWindowVisible(view->about_view().window()));
    keys({VK_ESCAPE}, loop);
    EXPECT_FALSE(IsWindowVisible(view->about_view().window()));
    // Escape in the status window is "Abbruch".
    program.g.transfer.request_kind = model::kWriteConfigBlock;
    ui::ShowMsgWindow(program.ctx);
    HWND state = view->state_view().window();
    ASSERT_TRUE(IsWindowVisible(state));
    SetForegroundWindow(state);
    SetFocus(view->state_view().find("Abbruch"));
    keys({VK_ESCAPE}, loop);
    EXPECT_FALSE(program.frmState.loaded());
    EXPECT_FALSE(IsWindowVisible(state));

    // A field with arrows steps with Up and Down and with the wheel, whole
    // notches of it, to its limit; its tip names the range.
    SetForegroundWindow(view->window());
    HWND co2 = at("txt_data_cfg_10");
    EXPECT_EQ(view->binder().tip_of(co2), "-500 … 500 ppm, Schritt 1");
    f.txt_data_cfg(10).set_text("499");
    SetFocus(co2);
    keys({VK_UP}, loop);
    keys({VK_UP}, loop);
    EXPECT_EQ(f.txt_data_cfg(10).text(), "500");
    keys({VK_DOWN}, loop);
    const WPARAM half_a_notch_down = static_cast<WPARAM>(static_cast<WORD>(-WHEEL_DELTA / 2)) << 16;
    for (int i = 0; i < 2; ++i) SendMessageW(co2, WM_MOUSEWHEEL, half_a_notch_down, 0);
    EXPECT_EQ(text_of(co2), "498");
    // Read-only (the cyclic read-out): not greyed, drawn on the button
    // face, and no key changes it.
    f.txt_data_cfg(10).set_read_only(true);
    EXPECT_TRUE(GetWindowLongW(co2, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(IsWindowEnabled(co2));
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(co2), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(co2));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    DeleteDC(dc);
    keys({VK_UP}, loop);
    EXPECT_EQ(f.txt_data_cfg(10).text(), "498");
    f.txt_data_cfg(10).set_read_only(false);
    EXPECT_FALSE(GetWindowLongW(co2, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongW(at("txt_data_out_0"), GWL_STYLE) & ES_READONLY);
}

struct Language {
    const char* value;
    const char* tag;
};
void PrintTo(const Language& k, std::ostream* os) { *os << k.tag; }

class LanguageView : public ViewTest, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override { start(GetParam().value); }
};

// Texts a window would cut off: a label, button or box narrower than its
// text, by name.
std::vector<std::string> cut_off(const std::map<std::string, HWND>& windows) {
    std::vector<std::string> cut;
    for (const auto& [name, w] : windows) {
        if (!IsWindowVisible(w)) continue;
        wchar_t cls[32] = {};
        GetClassNameW(w, cls, 32);
        const std::wstring kind = cls;
        if (kind != L"Static" && kind != L"Button" && kind != L"STATIC" && kind != L"BUTTON") continue;
        const std::wstring text = wide(text_of(w));
        if (text.empty()) continue;
        HDC dc = GetDC(w);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
        RECT need{0, 0, 0, 0};
        // A button's "&" marks its access key and takes no room.
        const bool button = kind == L"Button" || kind == L"BUTTON";
        DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | (button ? 0 : DT_NOPREFIX));
        SelectObject(dc, old);
        ReleaseDC(w, dc);
        RECT have{};
        GetClientRect(w, &have);
        if (have.right < need.right) cut.push_back(name);
    }
    return cut;
}

TEST_F(ViewTest, OnAScreenOfAnotherResolutionTheWindowIsLaidOutAgain) {
    // Windows tells a window moved to a 150 % screen the new resolution
    // and where it suggests the window go.
    RECT before{}, frame{};
    GetClientRect(view->window(), &before);
    GetWindowRect(view->window(), &frame);
    const HFONT font_before = reinterpret_cast<HFONT>(SendMessageW(at("txt_data_cfg_4"), WM_GETFONT, 0, 0));
    RECT suggested{frame.left + 10, frame.top + 20, frame.right + 10, frame.bottom + 20};
    SendMessageW(view->window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    loop.run_until([] { return false; }, 30);

    RECT after{};
    GetClientRect(view->window(), &after);
    const double wider = static_cast<double>(after.right) / before.right;
    const double taller = static_cast<double>(after.bottom) / before.bottom;
    EXPECT_GT(wider, 1.3);
    EXPECT_LT(wider, 1.7);
    EXPECT_GT(taller, 1.3);
    EXPECT_LT(taller, 1.7);
    // Every window has the new font, frames their bold face, and shows its text whole.
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(at("txt_data_cfg_4"), WM_GETFONT, 0, 0));
    EXPECT_NE(font, font_before);
    EXPECT_EQ(font, view->fonts().normal);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(at("frm_parameter"), WM_GETFONT, 0, 0)), view->fonts().bold);
    for (int page = 0; page < 2; ++page) {
        show_tab(page);
        EXPECT_EQ(cut_off(view->windows()), std::vector<std::string>{}) << "page " << page;
        picture(view->window(), "de_150_percent_page" + std::to_string(page), loop);
    }
    GetWindowRect(view->window(), &frame);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.top, suggested.top);

    // The status window shown afterwards has its texts whole in the new fonts.
    program.frmState.set_loaded(true);
    loop.run_until([] { return false; }, 30);
    EXPECT_EQ(cut_off(view->state_view().windows()), std::vector<std::string>{});
    program.frmState.set_loaded(false);
}

TEST_P(LanguageView, EveryCaptionShowsWholeAndEachWindowIsPictured) {
    const std::string tag = GetParam().tag;
    // A line that has had some trouble, the warning up and the longest word
    // on a write: the status line shows whole too.
    choose(at("Combo_Port_6"), 1);
    program.g.counts = {12345, 12340, 4, 1, 2, 3, "10:41:05", "10:41:07", true};
    program.g.status_note = [](const std::string& l) {
        using model::Caption;
        return std::string(model::caption(Caption::status_write_ended, l)) + " – " +
               model::caption(
                   Caption::status_confirmed, l,
                   {model::caption(Caption::part_config, l, {"2", "10"}) + ", " +
                    model::caption(Caption::part_config_coils, l) + ", " + model::caption(Caption::part_external, l)}) +
               "; " + model::caption(Caption::status_unconfirmed, l, {model::caption(Caption::part_led_coils, l)});
    };
    ui::show_status_line(program.ctx);
    f.warning_line().set_visible(true);
    for (int page = 0; page < 2; ++page) {
        show_tab(page);
        loop.run_until([] { return false; }, 30);
        EXPECT_EQ(cut_off(view->windows()), std::vector<std::string>{}) << tag << " page " << page;
        picture(view->window(), tag + "_page" + std::to_string(page), loop);
    }
    // The window opens whole on its screen.
    RECT frame{};
    GetWindowRect(view->window(), &frame);
    const RECT area = work_area(view->window());
    EXPECT_GE(frame.left, area.left);
    EXPECT_GE(frame.top, area.top);
    EXPECT_LE(frame.right, area.right);
    EXPECT_LE(frame.bottom, area.bottom);

    menu(f.MenueMain(2));
    loop.run_until([] { return false; }, 30);
    EXPECT_EQ(cut_off(view->about_view().windows()), std::vector<std::string>{}) << tag << " about";
    picture(view->about_view().window(), tag + "_about", loop);
    SendMessageW(view->about_view().window(), WM_CLOSE, 0, 0);

    // The windows of the view menu, beside the main window, closed by their
    // close box.
    for (const auto& [item, tool, picture_name] :
         {std::tuple{&f.AnsichtMenue(1), view->scan_view().window(), "_scan"},
          std::tuple{&f.AnsichtMenue(3), view->traffic_view().window(), "_traffic"},
          std::tuple{&f.AnsichtMenue(5), view->bus_view().window(), "_bus"},
          std::tuple{&f.AnsichtMenue(6), view->register_view().window(), "_registers"}}) {
        menu(*item);
        ASSERT_TRUE(IsWindowVisible(tool)) << picture_name;
        RECT main{}, beside_it{};
        GetWindowRect(view->window(), &main);
        GetWindowRect(tool, &beside_it);
        // Beside the main window wherever the screen has room for it there.
        const LONG w = beside_it.right - beside_it.left, h = beside_it.bottom - beside_it.top;
        const bool room = area.right - main.right > w || main.left - area.left > w || area.bottom - main.bottom > h ||
                          main.top - area.top > h;
        RECT overlap{};
        EXPECT_FALSE(room && IntersectRect(&overlap, &main, &beside_it)) << picture_name;
        EXPECT_TRUE(beside_it.left >= area.left && beside_it.top >= area.top && beside_it.right <= area.right &&
                    beside_it.bottom <= area.bottom)
            << picture_name;
        picture(tool, tag + picture_name, loop);
        SendMessageW(tool, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindowVisible(tool));
    }
    EXPECT_EQ(cut_off(view->scan_view().windows()), std::vector<std::string>{}) << tag << " scan";

    // The status window as a transfer shows it.
    program.frmState.set_loaded(true);
    loop.run_until([] { return false; }, 30);
    EXPECT_EQ(cut_off(view->state_view().windows()), std::vector<std::string>{}) << tag << " status";
    picture(view->state_view().window(), tag + "_state", loop);
    program.frmState.set_loaded(false);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, LanguageView,
                         ::testing::Values(Language{model::kGerman, "de"}, Language{model::kEnglish, "en"}),
                         [](const auto& info) { return std::string(info.param.tag); });

}  // namespace
}  // namespace vor3::win32::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
