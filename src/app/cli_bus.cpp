#include "app/cli_bus.h"

#include "app/bus_report.h"
#include "model/captions.h"

namespace vor3::app {

namespace {

// --addresses found: a scan at the link settings given (or their
// defaults), every address 1 to 63.
ops::ScanPlan found_scan_plan(const CliOptions& o) {
    ops::ScanPlan plan;
    plan.modes = {model::framing_name(o.mode)};
    plan.bauds = {o.baud};
    plan.parities = {o.parity};
    plan.data_bits = o.data_bits;
    return plan;
}

}  // namespace

BusPlan bus_plan(const CliOptions& o, const std::vector<int>& addresses) {
    BusPlan plan;
    plan.job = o.command == "write"  ? BusPlan::Job::Write
               : o.command == "save" ? BusPlan::Job::Save
                                     : BusPlan::Job::Read;
    for (int a : addresses) plan.targets.push_back({a, std::nullopt});
    if (plan.job == BusPlan::Job::Save)
        plan.folder = o.file;
    else
        plan.file = o.file;
    plan.assignments = o.assignments;
    if (o.addresses_found) plan.search = found_scan_plan(o);
    return plan;
}

BusOutput bus_output(const CliOptions& o, const std::vector<SensorResult>& results, const std::string& language,
                     const std::string& decimal_sep) {
    BusOutput r;
    const std::string summary = bus_summary(results, language);
    const bool data_only = o.json || o.csv;
    if (o.command == "read")
        r.out = o.json ? bus_read_json(results) : o.csv ? bus_read_csv(results, decimal_sep) : bus_read_text(results);
    if (o.command == "write") r.out = o.csv ? bus_report_csv(results, decimal_sep) : bus_changes_text(results);
    (data_only ? r.err : r.out) += summary;
    // A write cut short: which values each sensor confirmed.
    for (const auto& s : results)
        for (const auto& line : s.write_state)
            r.err += "vor3-cli: " + (s.port.empty() ? "" : s.port + ": ") +
                     model::caption(model::Caption::bus_summary, language, {std::to_string(s.target.address), line}) +
                     "\n";
    return r;
}

}  // namespace vor3::app
