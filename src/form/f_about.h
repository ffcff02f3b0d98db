#pragma once
#include "form/controls.h"

namespace vor3::form {

// The about box: the product, the version from the installation, the
// maker's name and address and two links. It is shown modally over the
// configuration window and centred on the screen.
struct FAbout : Window {
    FAbout();

    Label lblVersion;            // product line
    Label Label2;                // "Version:"
    Label Label1;                // the version value
    Label lbl_Software_Hinweis;  // notice
    Label lbl_maker_name;
    Label lbl_maker_street;
    Label lbl_maker_city;
    Label lbl_maker_country;
    Label lbltxtEmail;
    LinkLabel lblemail;
    Label lbltxtHyperlink;
    LinkLabel lblHyperlink;

    // Position and size on the screen, in pixels. The view gives the size
    // the box needs; loading the box centres it.
    int left = 0, top = 0;
    int width = 440, height = 260;
};

}  // namespace vor3::form
