#pragma once
#include <initializer_list>
#include <string>

// Every text the program shows or writes, in German and English, in one
// table: captions of the windows, the parameter-file texts, the documents,
// the maker's details and the messages. The captions of the device fields
// live with their fields in the register map.
namespace vor3::model {

enum class Caption : int {
    // The configuration window
    cmd_read_device,
    read_out_parameter,
    set_parameter,
    lbl_desc_16,
    lbl_desc_17,
    lbl_desc_0,
    lbl_desc_2,
    lbl_desc_3,
    MenueMain_1,
    MenueMain_2,
    MenueMain_3,
    ParMenueMain_1,
    ParMenueMain_2,
    ParMenueMain_3,
    ParMenueMain_4,
    MenueMain_4,
    AnsichtMenue_1,
    AnsichtMenue_2,
    AnsichtMenue_3,
    AnsichtMenue_4,
    // The sensor scan
    frmScan,
    scan_port,
    scan_mode,
    scan_baud,
    scan_parity,
    scan_response,
    chk_first,
    cmd_scan,
    cmd_stop,
    cmd_take,
    scan_trying,
    scan_found,
    scan_none,
    scan_entry,
    // The traffic record
    traffic_read_coils,
    traffic_read_registers,
    traffic_write_coils,
    traffic_write_registers,
    traffic_coils,
    traffic_registers,
    traffic_written,
    traffic_exception,
    traffic_function,
    traffic_noise,
    traffic_echo,
    traffic_bad_checksum,
    frmTraffic,
    traffic_pause,
    traffic_resume,
    traffic_clear,
    traffic_save,
    traffic_count,
    traffic_save_failed,
    SSTab1_0,
    SSTab1_1,
    frm_allg_1,
    frm_hold_0,
    frm_coils_0,
    frm_display_0,
    frm_val_1,
    frm_parameter,
    lbl_parameter_0,
    lbl_parameter_1,
    lbl_parameter_2,
    lbl_parameter_3,
    lbl_parameter_5,
    lbl_parameter_6,
    unit_celsius,
    unit_humidity,
    unit_ppm,
    // The status window
    frmState,
    Abbruch,
    lblTxt,
    cmdOK,
    // The about box
    fAbout,
    lblVersion,
    Label2,
    lbl_Software_Hinweis,
    lbltxtEmail,
    lbltxtHyperlink,
    maker_name,
    maker_street,
    maker_city,
    maker_country,
    maker_email,
    maker_web,
    // Parameter files: the fixed lines and FileTexts 7 to 12
    file_product,
    file_version,
    file_register,
    file_text_7,
    file_text_8,
    file_text_9,
    file_text_10,
    file_text_11,
    file_text_12,
    file_filter,
    // The register descriptions Help opens, below the installation folder
    help_document,
    // The register descriptions themselves
    doc_title,
    doc_intro,
    doc_col_address,
    doc_col_caption,
    doc_col_range,
    doc_col_unit,
    doc_col_scaling,
    doc_col_access,
    doc_read_only,
    doc_read_write,
    doc_block_config_registers,
    doc_block_measured,
    doc_block_external,
    doc_block_config_coils,
    doc_block_led_coils,
    doc_hidden,
    // Messages
    msg_address_range,
    msg_port_not_available,
    msg_port_permission,
    msg_port_not_open,
    msg_reader_error,
    msg_modbus_exception,
    exception_1,
    exception_2,
    exception_3,
    exception_4,
    exception_6,
    exception_other,
    confirm_identical_title,
    confirm_identical_text,
    confirm_ok,
    confirm_cancel,
    msg_save_failed,
    msg_open_failed,
    msg_load_partial,
    msg_load_line,
    reason_not_a_number,
    reason_out_of_range,
    reason_too_fine,
    reason_no_value,
    reason_not_a_bit,
    msg_load_incomplete,
    msg_help_missing,
    msg_cannot_open,
    msg_setting_not_stored,
    msg_not_read,
    msg_write_cancelled,
    msg_sensor_answers,
    entry_not_editable,
    entry_key_refused,
    entry_corrected,
    entry_bit_only,
    entry_no_field,
    entry_read_only,
    Count
};

// The language value of English; every other value means German.
inline constexpr const char* kEnglish = "1033";
inline constexpr const char* kGerman = "1031";

// The text in the given language ("1033" English, anything else German).
const char* caption(Caption id, const std::string& language);
const char* caption_de(Caption id);
const char* caption_en(Caption id);

// The name of a Modbus exception code.
Caption exception_caption(int code);

// The text with "{1}", "{2}", ... replaced by the arguments in order.
std::string caption(Caption id, const std::string& language, std::initializer_list<std::string> args);

}  // namespace vor3::model
