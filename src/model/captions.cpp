#include "model/captions.h"

#include <cstddef>

namespace vor3::model {

namespace {

using C = Caption;

struct Row {
    Caption id;
    const char* de;
    const char* en;
};

// The German menus have the accelerators ("&") of the window's design; the
// English menus and buttons have their own.
constexpr Row kRows[] = {
    {C::cmd_read_device, "Gerät auslesen", "&Read device"},
    {C::read_out_parameter, "Abbrechen", "&Cancel"},
    {C::set_parameter, "Werte übernehmen", "A&pply"},
    {C::lbl_desc_16, "Kommunikationsprobleme, bitte Einstellungen überprüfen!", "Communication error! Check settings!"},
    {C::lbl_desc_17, "Ausgaberegister lesen:", "Read input register :"},
    {C::lbl_desc_0, "Konfigurationsregister", "Configuration register"},
    {C::lbl_desc_2, "Konfigurationsregister", "Configuration register"},
    {C::lbl_desc_3, "Konfigurationscoils", "Configuration coils"},
    {C::MenueMain_1, "&Datei", "&File"},
    {C::MenueMain_2, "&Über", "&About"},
    {C::MenueMain_3, "&Hilfe", "&Help"},
    {C::ParMenueMain_1, "&Parameter laden", "&Load parameters"},
    {C::ParMenueMain_2, "&Parameter speichern", "&Save parameters"},
    {C::ParMenueMain_3, "-", "-"},
    {C::ParMenueMain_4, "&Beenden", "E&xit"},
    {C::MenueMain_4, "&Ansicht", "&View"},
    {C::AnsichtMenue_1, "Sensor &suchen…", "&Find sensor…"},
    {C::AnsichtMenue_2, "-", "-"},
    {C::AnsichtMenue_3, "&Verkehr", "&Traffic"},
    {C::AnsichtMenue_4, "Ver&lauf", "T&rend"},

    {C::frmScan, "Sensor suchen", "Find sensor"},
    {C::scan_port, "Port: {1}", "Port: {1}"},
    {C::scan_mode, "Modus:", "Mode:"},
    {C::scan_baud, "Baudrate:", "Baud rate:"},
    {C::scan_parity, "Parität:", "Parity:"},
    {C::scan_response, "Min-Response-Time [ms]:", "Min-Response-Time [ms]:"},
    {C::chk_first, "Beim ersten Fund anhalten", "Stop at the first sensor found"},
    {C::cmd_scan, "Suchen", "&Search"},
    {C::cmd_stop, "Anhalten", "S&top"},
    {C::cmd_take, "Übernehmen", "&Use"},
    {C::scan_trying, "{1} {2} {3}, Adresse {4}", "{1} {2} {3}, address {4}"},
    {C::scan_found, "Gefunden: {1}", "Found: {1}"},
    {C::scan_none, "Kein Sensor gefunden.", "No sensor found."},
    {C::scan_entry, "{1}, {2} Baud, {3}, Adresse {4}", "{1}, {2} baud, {3}, address {4}"},
    {C::scan_framing, "{1}, Adresse {2}", "{1}, address {2}"},
    {C::scan_unit, "Unit-ID {1}", "unit {1}"},
    {C::scan_conflict, "{1} – zwei verschiedene Antworten: vielleicht ein Adresskonflikt",
     "{1} – two different answers: perhaps an address conflict"},
    {C::scan_stops_readout,
     "Die Ausgaberegister werden gerade zyklisch gelesen. Die Suche beendet das und schließt den Port.\n"
     "Trotzdem suchen?",
     "The output registers are being read cyclically. The search ends that and closes the port.\n"
     "Search anyway?"},

    {C::AnsichtMenue_5, "&Bus…", "&Bus…"},
    {C::frmBus, "Bus", "Bus"},
    {C::bus_port, "Port: {1}, {2} {3} Baud {4}", "Port: {1}, {2} {3} baud {4}"},
    {C::bus_every_setting, "Jede Einstellung durchsuchen", "Search every setting"},
    {C::bus_columns, "Adresse|Standortkennung|Gerätecodierung|Firmware|Temperatur [°C]|Feuchte [%rH]|CO2 [ppm]|Zustand",
     "Address|Location|Device coding|Firmware|Temperature [°C]|Humidity [%rH]|CO2 [ppm]|State"},
    {C::bus_simulated, "Simulierte Sensoren an den Adressen:", "Simulated sensors at the addresses:"},
    {C::cmd_write_file, "Parameterdatei schreiben…", "Write parameter file…"},
    {C::cmd_write_shown, "Konfiguration des Hauptfensters schreiben", "Write the main window's configuration"},
    {C::chk_location, "Standortkennung mitschreiben", "Write the location id too"},
    {C::cmd_report, "Bericht speichern…", "Save report…"},
    {C::bus_searching, "Suche: {1}", "Searching: {1}"},
    {C::bus_reading, "Lese Adresse {1} ({2} von {3})", "Reading address {1} ({2} of {3})"},
    {C::bus_writing, "Schreibe Adresse {1} ({2} von {3})", "Writing address {1} ({2} of {3})"},
    {C::bus_refreshing, "Messwerte von Adresse {1}", "Measured values of address {1}"},
    {C::bus_stopping, "Halte nach Adresse {1} an…", "Stopping after address {1}…"},
    {C::bus_tally, "{1} von {2} erledigt", "{1} of {2} done"},
    {C::bus_summary, "Adresse {1}: {2}", "address {1}: {2}"},
    {C::bus_summary_location, "Adresse {1}, Standortkennung {2}: {3}", "address {1}, location {2}: {3}"},
    {C::bus_stopped, "Nach Adresse {1} angehalten.", "Stopped after address {1}."},
    {C::bus_report_filter, "Bericht (*.csv)", "Report (*.csv)"},
    {C::bus_nothing_chosen, "Bitte zuerst Sensoren in der Liste auswählen.",
     "Please choose sensors in the list first."},
    {C::bus_not_done, "nicht bearbeitet", "not done"},
    {C::bus_read, "gelesen", "read"},
    {C::bus_saved, "gespeichert", "saved"},
    {C::bus_verified, "geschrieben und geprüft", "written and verified"},
    {C::bus_differs, "weicht ab", "differs"},
    {C::bus_no_answer, "keine Antwort", "no answer"},
    {C::bus_refused, "abgelehnt", "refused"},
    {C::bus_port_failed, "Port nicht verfügbar", "port not available"},
    {C::bus_value_refused, "Wert nicht angenommen", "value not taken"},
    {C::bus_not_stored, "nicht gespeichert", "not stored"},

    {C::traffic_read_coils, "Adr. {1}: Coils {2} lesen", "addr {1}: read coils {2}"},
    {C::traffic_read_registers, "Adr. {1}: Register {2} lesen", "addr {1}: read registers {2}"},
    {C::traffic_write_coils, "Adr. {1}: Coils {2} schreiben: {3}", "addr {1}: write coils {2}: {3}"},
    {C::traffic_write_registers, "Adr. {1}: Register {2} schreiben: {3}", "addr {1}: write registers {2}: {3}"},
    {C::traffic_coils, "Adr. {1}: Coils {2}", "addr {1}: coils {2}"},
    {C::traffic_registers, "Adr. {1}: Register {2}", "addr {1}: registers {2}"},
    {C::traffic_written, "Adr. {1}: {2} geschrieben", "addr {1}: {2} written"},
    {C::traffic_exception, "Adr. {1}: Ausnahme {2} ({3}) auf Funktion {4}",
     "addr {1}: exception {2} ({3}) to function {4}"},
    {C::traffic_function, "Adr. {1}: Funktion {2}", "addr {1}: function {2}"},
    {C::traffic_noise, "Störung, verworfen", "noise, dropped"},
    {C::traffic_echo, "Echo der Anfrage", "echo of the request"},
    {C::traffic_stale_answer, "Antwort darüber verworfen: die Anfrage war schon beantwortet",
     "answer above dropped: its request was answered already"},
    {C::traffic_wrong_transaction, "Antwort darüber verworfen: keine offene Anfrage hat ihre Transaktionsnummer",
     "answer above dropped: no request outstanding has its transaction identifier"},
    {C::traffic_wrong_header,
     "Antwort darüber verworfen: Protokollkennung, Länge oder Unit-ID passen nicht zur Anfrage",
     "answer above dropped: its protocol identifier, length or unit identifier does not fit the request"},
    {C::traffic_mbap, "Transaktion {1}, Unit-ID {2} – {3}", "transaction {1}, unit {2} – {3}"},
    {C::traffic_not_awaited, "Antwort darüber nicht genommen: sie beantwortet keine offene Anfrage",
     "answer above not taken: it answers no request outstanding"},
    {C::traffic_bad_checksum, "Prüfsumme falsch", "checksum wrong"},
    {C::frmTraffic, "Verkehr", "Traffic"},
    {C::traffic_pause, "Anhalten", "&Pause"},
    {C::traffic_resume, "Weiter", "&Resume"},
    {C::traffic_clear, "Leeren", "&Clear"},
    {C::traffic_save, "Speichern…", "&Save…"},
    {C::traffic_count, "{1} Frames", "{1} frames"},
    {C::traffic_save_failed, "Der Verkehr wurde nicht in „{1}“ gespeichert: {2}",
     "The traffic was not saved to \"{1}\": {2}"},
    {C::SSTab1_0, "Allgemein", "General"},
    {C::SSTab1_1, "Anzeige", "Display"},
    {C::frm_allg_1, "Gerätekonfiguration", "General settings"},
    {C::frm_hold_0, "Eingaberegister", "Holding register"},
    {C::frm_coils_0, "Eingabecoils", "Coils"},
    {C::frm_display_0, "Konfiguration", "Configuration"},
    {C::frm_val_1, "Ausgaberegister", "Output register"},
    {C::frm_parameter, "Parameter", "Parameter"},
    {C::lbl_parameter_0, "Modbus address", "Modbus address"},
    {C::lbl_parameter_1, "Baudrate", "Baudrate"},
    {C::lbl_parameter_2, "Parity", "Parity"},
    {C::lbl_parameter_3, "COM-Port", "COM-Port"},
    {C::lbl_parameter_5, "Mode", "Mode"},
    {C::lbl_parameter_6, "COM-Port", "COM-Port"},
    {C::lbl_parameter_7, "Echo unterdrücken", "Suppress echo"},
    {C::unit_celsius, "°C", "°C"},
    {C::unit_humidity, "%rH", "%rH"},
    {C::unit_ppm, "ppm", "ppm"},

    {C::frmState, "Status", "State"},
    {C::Abbruch, "Abbruch", "&Cancel"},
    {C::lblTxt, "Warten ...", "Waiting ..."},
    {C::cmdOK, "Schließen", "Schließen"},
    {C::status_step, "{1} ({2} von {3})", "{1} ({2} of {3})"},
    {C::status_seconds_left, "Noch etwa {1} s", "About {1} s left"},
    {C::status_minutes_left, "Noch etwa {1} min", "About {1} min left"},
    {C::pace_display_bounded, "Aktualisierungsintervall {1} über {2}: die Blöcke folgen im Takt von {2}",
     "Display update interval {1} above {2}: the blocks are paced as for {2}"},
    {C::pace_response_bounded, "Min-Response-Time {1} ms über {2} ms: auf Antworten wird wie bei {2} ms gewartet",
     "Min-Response-Time {1} ms above {2} ms: answers are awaited as for {2} ms"},
    {C::step_read_register_6, "Anzeigeintervall lesen", "Reading the display interval"},
    {C::step_read_config, "Konfigurationsregister {1} bis {2} lesen", "Reading configuration registers {1} to {2}"},
    {C::step_read_measured, "Messwerte lesen", "Reading the measured values"},
    {C::step_read_config_coils, "Konfigurationscoils lesen", "Reading the configuration coils"},
    {C::step_read_external, "Externe Werte lesen", "Reading the external values"},
    {C::step_read_led_coils, "LED-Coils lesen", "Reading the LED coils"},
    {C::step_write_config, "Konfigurationsregister {1} bis {2} schreiben",
     "Writing configuration registers {1} to {2}"},
    {C::step_write_config_coils, "Konfigurationscoils schreiben", "Writing the configuration coils"},
    {C::step_write_external, "Externe Werte schreiben", "Writing the external values"},
    {C::step_write_led_coils, "LED-Coils schreiben", "Writing the LED coils"},
    {C::warning_read_cancelled, "Lesen abgebrochen: Leere oder graue Werte wurden nicht gelesen.",
     "Reading cancelled: empty or greyed values were not read."},

    {C::fAbout, "Information", "About"},
    {C::lblVersion, "Vadivoz: Konfigurationssoftware für VOR3-UZ485-Uvarod-OR2",
     "Vadivoz: Configuration software for VOR3-UZ485-Uvarod-OR2"},
    {C::Label2, "Version:", "Version:"},
    {C::lbl_Software_Hinweis, "", ""},
    {C::lbltxtEmail, "E-Mail:", "E-Mail:"},
    {C::lbltxtHyperlink, "Internet:", "Internet:"},
    {C::maker_name, "Vadivoz Vurizozozeroz GmbH", "Vadivoz Vurizozozeroz GmbH"},
    {C::maker_street, "Sensorweg 7", "Sensorweg 7"},
    {C::maker_city, "72762 Reutlingen", "72762 Reutlingen"},
    {C::maker_country, "Deutschland", "Deutschland"},
    {C::maker_email, "info@vadivoz.example", "info@vadivoz.example"},
    {C::maker_web, "https://www.vadivoz.example/", "https://www.vadivoz.example/"},

    {C::frmTrend, "Verlauf", "Trend"},
    {C::chk_log, "In Datei protokollieren…", "Log to file…"},
    {C::trend_temperature, "Temperatur (°C)", "Temperature (°C)"},
    {C::trend_humidity, "Feuchte (%rH)", "Humidity (%rH)"},
    {C::trend_co2, "CO2 (ppm)", "CO2 (ppm)"},
    {C::trend_time_axis, "Uhrzeit", "Time"},
    {C::trend_climate_axis, "°C, %rH", "°C, %rH"},
    {C::trend_co2_axis, "ppm", "ppm"},
    {C::log_filter, "CSV-Datei (*.csv)", "CSV file (*.csv)"},
    {C::msg_log_open_failed, "Die Protokolldatei „{1}“ kann nicht geöffnet werden: {2}",
     "The log file \"{1}\" cannot be opened: {2}"},
    {C::msg_log_write_failed, "In die Protokolldatei „{1}“ kann nicht geschrieben werden: {2}",
     "The log file \"{1}\" cannot be written: {2}"},
    {C::msg_log_stopped, "Das Protokoll ist beendet; die Messwerte werden weiter gelesen.",
     "Logging has stopped; the measured values are still being read."},
    {C::reason_not_a_file, "das ist keine gewöhnliche Datei", "it is not an ordinary file"},

    {C::file_product, "VOR3-UZ485-Uvarod-OR2 Configuration Software", "VOR3-UZ485-Uvarod-OR2 Configuration Software"},
    {C::file_version, "Version: ", "Version: "},
    {C::file_register, "Register", "Register"},
    {C::file_text_7, "Als Trennzeichen Semikolon ; verwenden!", "use ; as separator!"},
    {C::file_text_8, "Konfigurationsbit", "configuration bit"},
    {C::file_text_9, "Baudrate: ", "baud rate: "},
    {C::file_text_10, "Modus: ", "mode: "},
    {C::file_text_11, "Parität: ", "parity: "},
    {C::file_text_12, "Adresse: ", "address: "},
    {C::file_filter, "Textfile (*.txt)", "Textfile (*.txt)"},

    {C::help_document, "\\Doc\\ROZ3 RS485 Modbus CO2, Register MS_1.pdf",
     "\\Doc\\ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf"},
    {C::doc_title, "VOR3-UZ485-Uvarod-OR2: Registerbeschreibung Modbus",
     "VOR3-UZ485-Uvarod-OR2: Modbus register description"},
    {C::doc_intro,
     "Der Sensor ist ein Modbus-Slave (RTU oder ASCII, Adresse 1 bis 63). Register werden mit Funktion 03 gelesen "
     "und mit Funktion 16 geschrieben, Coils mit Funktion 01 gelesen und mit Funktion 15 geschrieben.",
     "The sensor is a Modbus slave (RTU or ASCII, address 1 to 63). Registers are read with function 03 and "
     "written with function 16, coils are read with function 01 and written with function 15."},
    {C::doc_col_address, "Adresse", "Address"},
    {C::doc_col_caption, "Bezeichnung und Bedeutung", "Caption and meaning"},
    {C::doc_col_range, "Bereich", "Range"},
    {C::doc_col_unit, "Einheit", "Unit"},
    {C::doc_col_scaling, "Skalierung", "Scaling"},
    {C::doc_col_access, "Zugriff", "Access"},
    {C::doc_read_only, "lesen", "read"},
    {C::doc_read_write, "lesen und schreiben", "read and write"},
    {C::doc_block_config_registers, "Konfigurationsregister", "Configuration registers"},
    {C::doc_block_measured, "Messwerte (Ausgaberegister)", "Measured values (output registers)"},
    {C::doc_block_external, "Externe Vorgaben (Eingaberegister)", "External values (holding registers)"},
    {C::doc_block_config_coils, "Konfigurationscoils", "Configuration coils"},
    {C::doc_block_led_coils, "LED-Coils", "LED coils"},
    {C::doc_hidden, "Im Fenster nicht angezeigt.", "Not shown in the window."},
    {C::doc_values,
     "Ein Register hält eine 16-Bit-Zahl. „Mit Vorzeichen“ heißt Zweierkomplement (0xFFFF ist −1); „Zehntel“ "
     "heißt, das Register hält den Wert mal 10: −1,5 K wird als −15 (0xFFF1) übertragen. Eine Coil ist ein Bit. "
     "Der Bereich nennt die Werte, die das Programm in ein Feld übernimmt; die Bezeichnungen sind die des "
     "Programmfensters.",
     "A register holds a 16-bit number. \"Signed\" means two's complement (0xFFFF is −1); \"tenths\" means "
     "the register holds the value times 10: −1.5 K travels as −15 (0xFFF1). A coil is one bit. The range "
     "gives the values the program takes into a field; the captions are those of the program's window."},
    {C::doc_factory_settings,
     "Die Werkseinstellungen des Sensors sind hier nicht aufgeführt: Lesen Sie einen neuen Sensor mit „Gerät "
     "auslesen“ aus und sichern Sie seine Werte mit „Parameter speichern“.",
     "The sensor's factory settings are not listed here: read a new sensor with \"Read device\" and keep its "
     "values with \"Save parameters\"."},
    {C::doc_page, "Seite {1} von {2}", "Page {1} of {2}"},
    {C::doc_scale_signed, "ganzzahlig, mit Vorzeichen", "whole, signed"},
    {C::doc_scale_tenths, "Zehntel, mit Vorzeichen", "tenths, signed"},
    {C::doc_scale_unsigned, "ganzzahlig, ohne Vorzeichen", "whole, unsigned"},

    {C::msg_address_range, "Nur Werte zwischen 1 und 63 erlaubt!", "Only values from 1 to 63 are allowed!"},
    {C::msg_port_not_available, "COM-Port not available, ", "COM-Port not available, "},
    {C::msg_port_permission,
     "Sie haben keine Berechtigung, diesen Port zu öffnen. Unter Debian den Benutzer in die Gruppe 'dialout' "
     "aufnehmen (sudo adduser $USER dialout) und neu anmelden.",
     "You have no permission to open this port. On Debian, add your user to the 'dialout' group "
     "(sudo adduser $USER dialout) and log in again."},
    {C::msg_port_not_open, "Port ist nicht geöffnet", "Port is not open"},
    {C::msg_reader_error, "MSCOMM1_ERROR", "MSCOMM1_ERROR"},
    {C::msg_modbus_exception, "Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme {1} ({2}).",
     "The device refused the request: Modbus exception {1} ({2})."},
    {C::exception_1, "unzulässige Funktion", "illegal function"},
    {C::exception_2, "unzulässige Datenadresse", "illegal data address"},
    {C::exception_3, "unzulässiger Datenwert", "illegal data value"},
    {C::exception_4, "Gerätefehler", "device failure"},
    {C::exception_6, "Gerät beschäftigt", "device busy"},
    {C::exception_10, "Gateway: Pfad nicht verfügbar", "gateway path unavailable"},
    {C::exception_11, "Gateway: Zielgerät antwortet nicht", "gateway target device failed to respond"},
    {C::exception_other, "unbekannte Ausnahme", "unknown exception"},
    {C::msg_gateway_exception, "Das Gateway erreicht keinen Sensor unter der Adresse {1}: Modbus-Ausnahme {2} ({3}).",
     "The gateway reaches no sensor at address {1}: Modbus exception {2} ({3})."},
    {C::confirm_identical_title, "Identische Parameter", "Identical parameters"},
    {C::confirm_identical_text, "Parameter sind identisch!\nTrotzdem Parameter zum Gerät übertragen?",
     "Parameters are identical!\nTransfer them to the device anyway?"},
    {C::confirm_ok, "OK", "OK"},
    {C::confirm_cancel, "Abbrechen", "Cancel"},
    {C::confirm_quit_title, "Schreiben läuft", "Writing in progress"},
    {C::confirm_quit_text,
     "Die Werte werden gerade zum Gerät geschrieben. Wird das Programm jetzt beendet, bleibt das Gerät "
     "halb beschrieben.\nTrotzdem beenden?",
     "The values are being written to the device. Ending the program now leaves it half-written.\n"
     "Exit anyway?"},
    {C::confirm_quit_ok, "Trotzdem beenden", "Exit anyway"},
    {C::confirm_quit_cancel, "Weiter schreiben", "Keep writing"},
    {C::confirm_drop_title, "Geänderte Werte verwerfen?", "Discard changed values?"},
    {C::confirm_drop_text, "Diese geänderten Werte sind nicht zum Gerät übertragen und gehen dabei verloren:{1}",
     "These changed values have not been written to the device and would be lost:{1}"},
    {C::confirm_drop_ok, "Verwerfen", "Discard"},
    {C::confirm_drop_cancel, "Behalten", "Keep"},
    {C::edited_value, "{1} {2} → {3}", "{1} {2} → {3}"},
    {C::msg_save_failed, "Die Parameterdatei „{1}“ wurde nicht gespeichert: {2}",
     "The parameter file \"{1}\" was not saved: {2}"},
    {C::msg_open_failed, "Die Parameterdatei „{1}“ kann nicht gelesen werden: {2}",
     "The parameter file \"{1}\" cannot be read: {2}"},
    {C::msg_load_partial, "Aus der Parameterdatei „{1}“ wurde nicht alles geladen.",
     "Not everything was loaded from the parameter file \"{1}\"."},
    {C::msg_load_line, "Zeile {1} nicht geladen: {2}", "Line {1} not loaded: {2}"},
    {C::reason_not_a_number, "„{1}“ ist keine Zahl", "\"{1}\" is not a number"},
    {C::reason_out_of_range, "{1} liegt nicht zwischen {2} und {3}", "{1} is not between {2} and {3}"},
    {C::reason_too_fine, "{1} hat mehr Nachkommastellen, als das Register fasst",
     "{1} has more decimals than the register holds"},
    {C::reason_no_value, "die Zeile enthält keinen Wert", "the line holds no value"},
    {C::reason_not_a_bit, "„{1}“ ist weder 0 noch 1", "\"{1}\" is neither 0 nor 1"},
    {C::msg_load_incomplete, "Die Datei endet nach Zeile {1}; die Felder der Zeilen {2} bis 33 behalten ihre Werte.",
     "The file ends after line {1}; the fields of lines {2} to 33 keep their values."},
    {C::msg_load_refused, "Die Parameterdatei „{1}“ wurde nicht geladen: Zeile {2} beginnt nicht mit „{3}“.",
     "The parameter file \"{1}\" was not loaded: line {2} does not begin with \"{3}\"."},
    {C::msg_load_line_reads,
     "Zeile {1} lautet „{2}“; die Zeilen stehen nicht an ihrem Platz, darum wurde nichts geladen.",
     "Line {1} reads \"{2}\"; the lines are out of place, so nothing was loaded."},
    {C::msg_load_extra,
     "Nach Zeile 33, dem Ende einer Parameterdatei, steht ab Zeile {1} noch Text; er wurde nicht geladen.",
     "There is text after line 33, where a parameter file ends, from line {1} on; it was not loaded."},
    {C::reason_read_only, "die Datei ist schreibgeschützt", "the file is read-only"},
    {C::reason_foreign_link,
     "das ist eine symbolische Verknüpfung eines anderen Benutzers in einem gemeinsamen Ordner, der das System nicht "
     "folgt",
     "it is another user's symbolic link in a shared folder, which the system does not follow"},
    {C::reason_hive_locked, "ein anderes Programm schreibt gerade in die Datei",
     "another program is writing to the file"},
    {C::reason_held_open, "ein anderes Programm hält die Datei geöffnet; bitte dort schließen und erneut versuchen",
     "another program holds the file open; close it there and try again"},
    {C::reason_not_a_hive, "das ist keine Registrierungsdatei, die dieses Programm lesen kann",
     "it is not a registry file this program can read"},
    {C::reason_not_storable, "„{1}“ lässt sich in der Datei nicht unverändert speichern",
     "\"{1}\" cannot be stored in the file as it is"},
    {C::reason_no_right, "dieser Benutzer darf das nicht ändern", "this user may not change it"},
    {C::errno_not_found, "Datei oder Ordner nicht gefunden", "No such file or directory"},
    {C::errno_access, "Zugriff verweigert", "Permission denied"},
    {C::errno_exists, "Die Datei ist schon da", "File exists"},
    {C::errno_no_space, "Auf dem Datenträger ist kein Platz mehr", "No space left on device"},
    {C::errno_read_only_disk, "Der Datenträger ist schreibgeschützt", "Read-only file system"},
    {C::errno_name_too_long, "Der Name ist zu lang", "File name too long"},
    {C::errno_not_folder, "Ein Teil des Pfads ist kein Ordner", "Not a directory"},
    {C::errno_is_folder, "Das ist ein Ordner", "Is a directory"},
    {C::errno_no_memory, "Nicht genug Speicher", "Out of memory"},
    {C::errno_too_big, "Die Datei ist zu groß", "File too large"},
    {C::errno_loop, "Zu viele symbolische Verknüpfungen", "Too many levels of symbolic links"},
    {C::errno_io, "Ein-/Ausgabefehler", "Input/output error"},
    {C::errno_busy, "Gerät oder Datei belegt", "Device or resource busy"},
    {C::errno_quota, "Der Speicherplatz des Benutzers ist erschöpft", "Disk quota exceeded"},
    {C::errno_other, "Systemfehler {1}", "System error {1}"},
    {C::confirm_read_only_title, "Schreibgeschützte Datei", "Read-only file"},
    {C::confirm_read_only_text, "Die Datei „{1}“ ist schreibgeschützt.\nSoll sie trotzdem ersetzt werden?",
     "The file \"{1}\" is read-only.\nReplace it anyway?"},
    {C::confirm_replace, "Ersetzen", "Replace"},
    {C::msg_help_missing, "Die Registerbeschreibung „{1}“ fehlt.\nGesucht in: {2}",
     "The register description \"{1}\" is missing.\nLooked for in: {2}"},
    {C::msg_cannot_open, "„{1}“ konnte nicht geöffnet werden.", "\"{1}\" could not be opened."},
    {C::msg_no_viewer, "„{1}“ konnte nicht geöffnet werden: Es ist kein Programm eingerichtet, das es anzeigt.",
     "\"{1}\" could not be opened: no program is set up to show it."},
    {C::msg_setting_not_stored, "Die Einstellung wurde nicht gespeichert: {1}", "The setting was not stored: {1}"},
    {C::msg_setting_unknown, "„{1}“ ist keine Einstellung, die das Programm liest; es liest {2}.",
     "\"{1}\" is no setting the program reads; it reads {2}."},
    {C::msg_setting_value, "{1} nimmt {3}, nicht „{2}“.", "{1} takes {3}, not \"{2}\"."},
    {C::setting_language_values, "1031 (Deutsch) oder 1033 (Englisch)", "1031 (German) or 1033 (English)"},
    {C::setting_version_values, "eine Zahl (1.0)", "a number (1.0)"},
    {C::msg_not_read,
     "Das Gerät wurde noch nicht ausgelesen. Ein Teil wird immer ganz geschrieben; bitte zuerst "
     "\"Gerät auslesen\", dann die Werte ändern und übernehmen.",
     "The device has not been read yet. A part is written whole, so read the device first "
     "(\"Read device\"), then change the values and apply them."},
    {C::msg_write_cancelled,
     "Das Schreiben wurde abgebrochen. Werte, die das Gerät nicht bestätigt hat, bleiben rot markiert.",
     "Writing was cancelled. Values the device has not confirmed stay marked in red."},
    {C::msg_sensor_answers, "Der Sensor antwortet wieder.", "The sensor answers again."},
    {C::msg_address_conflict,
     "Auf eine Anfrage kamen zwei verschiedene Antworten: Vielleicht haben zwei Geräte die Adresse {1}. "
     "Die Übertragung wurde beendet.",
     "Two different answers came to one request: two devices may have the address {1}. "
     "The transfer was ended."},
    {C::msg_read_back_differs,
     "Das Gerät hat den Empfang bestätigt, hält aber nicht alle Werte so, wie sie geschrieben wurden:",
     "The device acknowledged the write but does not hold every value as it was written:"},
    {C::read_back_value, "{1} geschrieben, {2} zurückgelesen", "{1} written, {2} read back"},
    {C::tip_outside_range,
     "Das Gerät hält {1}, außerhalb des Bereichs {2} bis {3}, den dieses Feld annimmt. Der Wert bleibt, "
     "bis Sie ihn ändern.",
     "The device holds {1}, outside the range {2} to {3} this field takes. It stays as it is unless you "
     "change it."},
    {C::msg_monitor_gave_up, "Seit {1} s kein gültiger Messwert; Abbruch.", "No valid reading for {1} s; giving up."},
    {C::entry_not_editable, "{1} kann gerade nicht bearbeitet werden", "{1} cannot be edited now"},
    {C::entry_key_refused, "{1} nimmt \"{2}\" in \"{3}\" nicht an", "{1} refuses \"{2}\" in \"{3}\""},
    {C::entry_corrected, "{1} macht aus \"{2}\" \"{3}\"", "{1} turns \"{2}\" into \"{3}\""},
    {C::entry_bit_only, "{1} nimmt nur 0 oder 1", "{1} takes 0 or 1 only"},
    {C::entry_no_field, "kein Feld {1}", "no field {1}"},
    {C::entry_read_only, "{1} kann nicht geschrieben werden", "{1} cannot be written"},
    {C::entry_given_twice, "{1} ist zweimal angegeben, als \"{2}\" und als \"{3}\"",
     "{1} is given twice, as \"{2}\" and as \"{3}\""},
    {C::write_confirmed, "{1} vom Gerät bestätigt", "{1} confirmed by the device"},
    {C::write_unconfirmed, "{1} nicht bestätigt, vielleicht nicht geschrieben",
     "{1} not confirmed, perhaps not written"},
    {C::write_stopped, "Schreiben auf Abbruch angehalten.", "Writing stopped on interrupt."},
    {C::write_stopped_unsent, "Auf Abbruch angehalten, bevor etwas geschrieben wurde.",
     "Stopped on interrupt before anything was written."},
    {C::simulator_entry, "Simulierter Sensor (sim)", "Simulated sensor (sim)"},
    {C::port_missing, "Den Port {1} gibt es nicht.", "There is no port {1}."},
    {C::port_busy, "Der Port {1} ist belegt oder lässt sich nicht öffnen.",
     "The port {1} is in use or cannot be opened."},
    {C::port_settings_refused, "Der Port {1} nimmt diese Einstellungen nicht an.",
     "The port {1} does not take these settings."},
    {C::port_gone, "Der Port {1} ist nicht mehr da. Wurde der Adapter abgezogen oder die Gegenstelle beendet?",
     "The port {1} is gone. Was the adapter unplugged or the program at its other end ended?"},
    {C::net_host_not_found, "Den Rechner in {1} kennt das Netz nicht (Name nicht gefunden).",
     "The network does not know the host of {1} (name not found)."},
    {C::net_refused, "{1} lehnt die Verbindung ab: Dort nimmt nichts Verbindungen an.",
     "{1} refused the connection: nothing takes connections there."},
    {C::net_timed_out, "{1} antwortet nicht auf den Verbindungsaufbau (nach {2} s aufgegeben).",
     "{1} did not answer the connection request (gave up after {2} s)."},
    {C::net_unreachable, "{1} ist im Netz nicht erreichbar.", "{1} cannot be reached on the network."},
    {C::net_closed, "{1} hat die Verbindung während der Übertragung geschlossen. Die nächste Anfrage verbindet neu.",
     "{1} closed the connection during the transfer. The next request connects again."},
};

constexpr bool rows_in_order() {
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        if (static_cast<std::size_t>(kRows[i].id) != i) return false;
    return std::size(kRows) == static_cast<std::size_t>(Caption::Count);
}
static_assert(rows_in_order(), "one row per caption, in the order of the enumeration");

}  // namespace

const char* caption_de(Caption id) { return kRows[static_cast<std::size_t>(id)].de; }
const char* caption_en(Caption id) { return kRows[static_cast<std::size_t>(id)].en; }

const char* caption(Caption id, const std::string& language) {
    return language == kEnglish ? caption_en(id) : caption_de(id);
}

std::string caption(Caption id, const std::string& language, std::initializer_list<std::string> args) {
    const std::string text = caption(id, language);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n =
            text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' ? text[i + 1] - '1' : args.size();
        if (n < args.size()) {
            out += *(args.begin() + n);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

Caption exception_caption(int code) {
    switch (code) {
    case 1: return Caption::exception_1;
    case 2: return Caption::exception_2;
    case 3: return Caption::exception_3;
    case 4: return Caption::exception_4;
    case 6: return Caption::exception_6;
    case 10: return Caption::exception_10;
    case 11: return Caption::exception_11;
    default: return Caption::exception_other;
    }
}

}  // namespace vor3::model
