#include "form/f_about.h"

#include "model/captions.h"

namespace vor3::form {

FAbout::FAbout() {
    using model::Caption;
    set_visible(false);
    set_caption(model::caption_de(Caption::fAbout));
    const struct {
        Control* control;
        Caption text;
    } design[] = {
        {&lblVersion, Caption::lblVersion},
        {&Label2, Caption::Label2},
        {&lbl_Software_Hinweis, Caption::lbl_Software_Hinweis},
        {&lbl_maker_name, Caption::maker_name},
        {&lbl_maker_street, Caption::maker_street},
        {&lbl_maker_city, Caption::maker_city},
        {&lbl_maker_country, Caption::maker_country},
        {&lbltxtEmail, Caption::lbltxtEmail},
        {&lblemail, Caption::maker_email},
        {&lbltxtHyperlink, Caption::lbltxtHyperlink},
        {&lblHyperlink, Caption::maker_web},
    };
    for (const auto& d : design) {
        d.control->set_parent(this);
        d.control->set_caption(model::caption_de(d.text));
    }
    Label1.set_parent(this);
}

}  // namespace vor3::form
