// Several lines of simulated sensors worked at once under the virtual
// clock: the line texts and site files that name them, the merged report, one
// request at a time on each line, and a scan's site file read back.
#include <gtest/gtest.h>

#include <memory>

#include "app/bus_report.h"
#include "app/simulated_line.h"
#include "app/site_file.h"
#include "app/site_run.h"
#include "form/virtual_clock.h"

namespace vor3::app {
namespace {

// The lines a command line names, each on a simulated line of its own.
struct Site {
    explicit Site(const std::vector<std::string>& args)
        : lines(site_lines(parse_cli(args), given_lines(parse_cli(args)))) {
        for (const auto& l : lines) sims.push_back(std::make_unique<SimulatedLine>(clock, l));
    }
    sim::SimulatedSensor& sensor(std::size_t line, int address) { return sims[line]->sensors.sensor(address); }

    // Starts the lines of `which` (all when empty).
    void start(std::vector<std::size_t> which = {}) {
        if (which.empty())
            for (std::size_t i = 0; i < lines.size(); ++i) which.push_back(i);
        std::vector<SiteLine> these;
        for (auto i : which) these.push_back(lines[i]);
        run_.reset();  // its programs go before the ports they use
        run_ = std::make_unique<SiteRun>(clock, std::move(these), [this, which](std::size_t i) -> form::SerialPort& {
            return sims[which[i]]->port;
        });
        run_->start();
    }
    // Runs them to their end; how long that took.
    std::int64_t run(const std::vector<std::size_t>& which = {}) {
        const std::int64_t begun = clock.now_ms();
        start(which);
        while (run_->running() && clock.now_ms() - begun < 600000) clock.advance(1);
        return clock.now_ms() - begun;
    }
    SiteRun& last() { return *run_; }

    form::VirtualClock clock;
    std::vector<SiteLine> lines;
    std::vector<std::unique_ptr<SimulatedLine>> sims;
    std::unique_ptr<SiteRun> run_;
};

TEST(SiteFile, NamesEachLineOrSaysWhichRowIsWrong) {
    const auto command =
        parse_cli({"read", "--baud", "19200", "--line", "/dev/ttyUSB0 parity=o addresses=1-3", "--line", "sim"});
    auto texts = given_lines(command);
    const auto rows = site_rows(
        "# the north wing\n\n"
        "modbus-tcp://10.0.0.7 addresses=found  # the gateway\r\n"
        "/dev/ttyUSB0 mode=ascii baud=9600 address=37\n",
        "site.txt");
    texts.insert(texts.end(), rows.begin(), rows.end());
    const auto lines = site_lines(command, texts);
    ASSERT_EQ(lines.size(), 3u);
    const auto& usb = lines[0];
    EXPECT_EQ(std::tie(usb.name, usb.options.baud, usb.options.parity, usb.options.command),
              std::make_tuple("/dev/ttyUSB0", "19200", 'O', "read"));
    // The row of a port named before joins its line, each sensor at its row's setting.
    std::vector<std::pair<int, ops::LineSetting>> targets;
    for (const auto& t : usb.targets) targets.push_back({t.address, t.line.value()});
    const ops::LineSetting first{"RTU", "19200", 'O'}, row5{"ASCII", "9600", 'E'};
    EXPECT_EQ(targets, (std::vector<std::pair<int, ops::LineSetting>>{{1, first}, {2, first}, {3, first}, {37, row5}}));
    EXPECT_EQ(lines[1].name, "sim");
    EXPECT_EQ(lines[1].targets.size(), 1u);
    EXPECT_TRUE(lines[2].options.addresses_found);
    EXPECT_TRUE(lines[2].targets.empty());

    // Several simulated lines are told apart by their number.
    const auto sims = site_lines(parse_cli({"read", "--line", "sim", "--line", "sim addresses=2,3"}),
                                 given_lines(parse_cli({"read", "--line", "sim", "--line", "sim addresses=2,3"})));
    EXPECT_EQ(std::tie(sims[0].name, sims[1].name), std::make_tuple("sim#1", "sim#2"));

    const struct {
        const char* rows;
        const char* said;
    } bad[] = {
        {"baud=9600 /dev/ttyUSB0", "site.txt row 1: begins with the port, then its settings as key=value"},
        {"/dev/ttyUSB0\n#\n/dev/ttyS1 speed=9600",
         "site.txt row 3: 'speed=9600' is no setting (baud=, parity=, mode=, data-bits=, address=, addresses=)"},
        {"/dev/ttyUSB0 baud=1200", "site.txt row 1: baud= takes 9600, 19200, 38400 or 57600, not '1200'"},
        {"/dev/ttyUSB0 addresses=1-70", "site.txt row 1: addresses= "},
        {"/dev/ttyUSB0 address=2 addresses=1", "site.txt row 1: address= or addresses=, not both"},
        {"tcp://host addresses=1", "site.txt row 1: the port takes tcp://HOST:PORT or modbus-tcp://HOST[:PORT]"},
        {"/dev/ttyUSB0 addresses=1-5\n/dev/ttyUSB0 baud=19200 addresses=5",
         "site.txt row 2: address 5 on /dev/ttyUSB0 is named already"},
        {"/dev/ttyUSB0 addresses=found\n/dev/ttyUSB0 addresses=5",
         "site.txt row 2: /dev/ttyUSB0 is named on site.txt row 1 already; addresses=found takes a line of its own"},
        {"/dev/ttyUSB0 data-bits=8\n/dev/ttyUSB0 address=5",
         "site.txt row 2: the data bits of /dev/ttyUSB0 are set on site.txt row 1"},
    };
    for (const auto& b : bad) {
        try {
            site_lines(parse_cli({"read", "--line", "sim"}), site_rows(b.rows, "site.txt"));
            ADD_FAILURE() << b.rows << " taken";
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, std::string(b.said).size()), b.said) << b.rows;
        }
    }
    for (const std::vector<std::string>& refused : {std::vector<std::string>{"read", "--line", "sim", "--port", "sim"},
                                                    {"read", "--line", "sim", "--addresses", "1"},
                                                    {"monitor", "--line", "sim"},
                                                    {"scan", "--line", "sim", "--json"}})
        EXPECT_THROW(parse_cli(refused), std::invalid_argument) << refused[0] << " " << refused[3];
}

// A request is in flight from its sending until its answer comes or its
// time-out (at least a second) has passed.
void expect_one_request_at_a_time(const link::TrafficRecord& traffic, const std::string& line) {
    std::optional<std::int64_t> in_flight_since;
    for (const auto& e : traffic.entries()) {
        if (e.kind != link::TrafficEntry::Kind::Frame) continue;
        if (!e.sent) {
            in_flight_since.reset();
            continue;
        }
        if (in_flight_since) {
            EXPECT_GE(e.at_ms - *in_flight_since, 1000) << line << ": a request sent while another awaits its answer";
        }
        in_flight_since = e.at_ms;
    }
}

// Three lines at once, one of them silent, one with a sensor that refuses
// every request: each line is done in the time it takes alone, the report
// names each sensor by its line, and the exit status is the worst.
TEST(SiteRun, WorksEveryLineAtOnceEachOneRequestAtATime) {
    Site site(
        {"read", "--line", "sim addresses=1-4", "--line", "sim addresses=1-4", "--line", "sim addresses=1-4", "--csv"});
    for (int a = 1; a <= 4; ++a) site.sensor(1, a).faults().silent = true;
    site.sensor(2, 3).faults().exception_code = 4;

    std::int64_t slowest_alone = 0;
    for (std::size_t i = 0; i < site.lines.size(); ++i) slowest_alone = std::max(slowest_alone, site.run({i}));
    const std::int64_t together = site.run();
    EXPECT_LE(together, slowest_alone + 10) << "one line alone takes up to " << slowest_alone << " ms";

    const auto results = site.last().results();
    EXPECT_EQ(site.last().exit_status(), 3);
    EXPECT_EQ(bus_summary(results, "1033"),
              "sim#1: address 1, location 1: read\nsim#1: address 2, location 2: read\n"
              "sim#1: address 3, location 3: read\nsim#1: address 4, location 4: read\n"
              "sim#2: address 1: no answer (Kommunikationsprobleme, bitte Einstellungen überprüfen!)\n"
              "sim#2: address 2: no answer (Kommunikationsprobleme, bitte Einstellungen überprüfen!)\n"
              "sim#2: address 3: no answer (Kommunikationsprobleme, bitte Einstellungen überprüfen!)\n"
              "sim#2: address 4: no answer (Kommunikationsprobleme, bitte Einstellungen überprüfen!)\n"
              "sim#3: address 1, location 1: read\nsim#3: address 2, location 2: read\n"
              "sim#3: address 3: refused (Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 04 (Gerätefehler).)\n"
              "sim#3: address 4, location 4: read\n");
    const std::string csv = bus_read_csv(results, ",");
    EXPECT_TRUE(csv.starts_with("port,address,outcome,txt_data_cfg(0),")) << csv;
    EXPECT_NE(csv.find("\nsim#3,4,read,4660,"), std::string::npos) << csv;
    EXPECT_NE(bus_read_json(results).find("{\"port\": \"sim#2\", \"address\": 4, \"outcome\": \"no answer\""),
              std::string::npos);
    for (std::size_t i = 0; i < site.lines.size(); ++i)
        expect_one_request_at_a_time(site.last().program(i).traffic, site.lines[i].name);

    // An interrupt stops every line after its sensor in progress.
    site.start();
    site.clock.advance(1500);
    site.last().stop();
    while (site.last().running()) site.clock.advance(1);
    EXPECT_EQ(site.last().notes(),
              (std::vector<std::string>{"sim#1: Nach Adresse 2 angehalten.", "sim#2: Nach Adresse 1 angehalten.",
                                        "sim#3: Nach Adresse 2 angehalten."}));
}

// What a scan of every line finds, written as a site file, is what a read
// of that site reads: every sensor, at the setting it was found at.
TEST(SiteRun, ScansEveryLineIntoASiteFileThatReadsBack) {
    Site scan({"scan", "--mode", "rtu", "--baud", "9600", "--parity", "E", "--line", "sim", "--line", "sim"});
    scan.sims[0]->sensors.set_addresses({2, 17, 18, 19, 20, 21});
    scan.sims[1]->sensors.set_addresses({5});
    scan.sensor(0, 18).faults().silent = true;
    scan.sensor(1, 5).set_holding(3, 501);
    scan.run();
    const std::string inventory = site_inventory(scan.lines, scan.last().results());
    EXPECT_EQ(inventory,
              "# vor3-cli scan: a row per line and setting; below it each sensor found\n"
              "# (address: location id, device coding, firmware)\n"
              "sim mode=rtu baud=9600 parity=E addresses=2,17,19-21\n"
              "#   2: location id 2, device coding 4660, firmware 105\n"
              "#   17: location id 17, device coding 4660, firmware 105\n"
              "#   19: location id 19, device coding 4660, firmware 105\n"
              "#   20: location id 20, device coding 4660, firmware 105\n"
              "#   21: location id 21, device coding 4660, firmware 105\n"
              "sim mode=rtu baud=9600 parity=E addresses=5\n"
              "#   5: location id 501, device coding 4660, firmware 105\n");
    EXPECT_EQ(scan.last().exit_status(), 0);

    const auto read = site_lines(parse_cli({"read", "--site", "x"}), site_rows(inventory, "site.txt"));
    ASSERT_EQ(read.size(), 2u);
    scan.lines = read;
    scan.run();
    EXPECT_EQ(bus_summary(scan.last().results(), "1033"),
              "sim#1: address 2, location 2: read\nsim#1: address 17, location 17: read\n"
              "sim#1: address 19, location 19: read\nsim#1: address 20, location 20: read\n"
              "sim#1: address 21, location 21: read\nsim#2: address 5, location 501: read\n");
}

}  // namespace
}  // namespace vor3::app
