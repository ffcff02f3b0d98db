#include "model/register_notes.h"

#include <stdexcept>

namespace vor3::model {

namespace {

using A = FieldArray;

constexpr RegisterNote kNotes[] = {
    {A::txt_data_cfg, 0, "Kennung der Geräteausführung, vom Hersteller eingestellt.",
     "Identifies the device variant; set by the maker."},
    {A::txt_data_cfg, 1, "Version der Firmware des Sensors, als ganze Zahl.",
     "Version of the sensor's firmware, as a whole number."},
    {A::txt_data_cfg, 2, "Vom Hersteller belegt.", "Used by the maker."},
    {A::txt_data_cfg, 3, "Frei wählbare Nummer für den Einbauort, etwa eine Raumnummer.",
     "A number of your choice that names where the sensor is mounted, a room number for example."},
    {A::txt_data_cfg, 4, "CO2-Wert, bei dem die LED-Ampel auf Gelb schaltet.",
     "CO2 level at which the LED traffic light turns yellow."},
    {A::txt_data_cfg, 5, "CO2-Wert, bei dem die LED-Ampel auf Rot schaltet.",
     "CO2 level at which the LED traffic light turns red."},
    {A::txt_data_cfg, 6, "Zeit zwischen zwei Aktualisierungen der Anzeige des Sensors.",
     "Time between two updates of the sensor's display."},
    {A::txt_data_cfg, 7,
     "Kürzeste Zeit, die der Sensor nach einer Anfrage wartet, bevor er antwortet; für RS-485-Adapter, die Zeit "
     "zum Umschalten der Leitung brauchen.",
     "Shortest time the sensor waits after a request before it answers; for RS-485 adapters that need time to "
     "turn the line around."},
    {A::txt_data_cfg, 8, "Korrektur, die der Sensor zu jeder gemessenen Temperatur addiert.",
     "Correction the sensor adds to every temperature it measures."},
    {A::txt_data_cfg, 9, "Korrektur, die der Sensor zu jeder gemessenen Feuchte addiert.",
     "Correction the sensor adds to every humidity it measures."},
    {A::txt_data_cfg, 10, "Korrektur, die der Sensor zu jedem gemessenen CO2-Wert addiert.",
     "Correction the sensor adds to every CO2 level it measures."},

    {A::txt_data_out, 0, "Gemessene Raumtemperatur.", "Room temperature as measured."},
    {A::txt_data_out, 1, "Gemessene relative Luftfeuchte.", "Relative humidity as measured."},
    {A::txt_data_out, 2, "Gemessene CO2-Konzentration.", "CO2 concentration as measured."},

    {A::txt_data_in, 0,
     "Temperatur, die ein Master dem Sensor vorgibt, in der Einheit nach Coil 3: °C bei 1, °F bei 0.",
     "Temperature a master gives the sensor, in the unit coil 3 selects: °C when 1, °F when 0."},
    {A::txt_data_in, 1, "Relative Luftfeuchte, die ein Master dem Sensor vorgibt.",
     "Relative humidity a master gives the sensor."},
    {A::txt_data_in, 2, "CO2-Wert, den ein Master dem Sensor vorgibt.", "CO2 level a master gives the sensor."},

    {A::chk_cfg, 0, "1: Die Anzeige zeigt die Raumtemperatur. 0: nicht.",
     "1: the display shows the room temperature. 0: it does not."},
    {A::chk_cfg, 1, "1: Die Anzeige zeigt die Luftfeuchte. 0: nicht.",
     "1: the display shows the humidity. 0: it does not."},
    {A::chk_cfg, 2, "1: Die Anzeige zeigt den CO2-Wert. 0: nicht.",
     "1: the display shows the CO2 level. 0: it does not."},
    {A::chk_cfg, 3,
     "Einheit der Temperatur. 1: Grad Celsius, 0: Grad Fahrenheit. Die externe Temperaturvorgabe (Register "
     "0x0200) folgt ihr. Das Fenster zeigt sie als Auswahlliste (°F, °C).",
     "Unit of temperature. 1: degrees Celsius, 0: degrees Fahrenheit. The external temperature (register "
     "0x0200) follows it. The window shows it as a list to choose from (°F, °C)."},
    {A::chk_cfg, 4, "1: Die LED-Ampel zeigt den CO2-Wert (Schwellen in Register 4 und 5). 0: nicht.",
     "1: the LED traffic light shows the CO2 level (thresholds in registers 4 and 5). 0: it does not."},
    {A::chk_cfg, 5, "1: Die Anzeige zeigt die Temperatur mit einer Nachkommastelle. 0: ganzzahlig.",
     "1: the display shows the temperature with one decimal. 0: as a whole number."},
    {A::chk_cfg, 6, "1: Die Anzeige zeigt die Luftfeuchte mit einer Nachkommastelle. 0: ganzzahlig.",
     "1: the display shows the humidity with one decimal. 0: as a whole number.", "Comma humidity"},
    {A::chk_cfg, 7, "1: Die Anzeige zeigt „rH“ hinter der Luftfeuchte. 0: ohne.",
     "1: the display shows \"rH\" after the humidity. 0: without."},

    {A::chk_inp_bit, 0, "1: Die LEDs folgen den Coils 0x0101 bis 0x0103. 0: Der Sensor schaltet sie selbst.",
     "1: the LEDs follow coils 0x0101 to 0x0103. 0: the sensor switches them itself."},
    {A::chk_inp_bit, 1, "Grüne LED, wenn Coil 0x0100 gesetzt ist. 1: an, 0: aus.",
     "Green LED while coil 0x0100 is set. 1: on, 0: off."},
    {A::chk_inp_bit, 2, "Gelbe LED, wenn Coil 0x0100 gesetzt ist. 1: an, 0: aus.",
     "Yellow LED while coil 0x0100 is set. 1: on, 0: off."},
    {A::chk_inp_bit, 3, "Rote LED, wenn Coil 0x0100 gesetzt ist. 1: an, 0: aus.",
     "Red LED while coil 0x0100 is set. 1: on, 0: off."},
    {A::chk_inp_bit, 4, "Vom Hersteller belegt.", "Used by the maker."},
};

}  // namespace

const RegisterNote& register_note(FieldArray array, int index) {
    for (const auto& n : kNotes)
        if (n.array == array && n.index == index) return n;
    throw std::out_of_range("no note for this field");
}

}  // namespace vor3::model
