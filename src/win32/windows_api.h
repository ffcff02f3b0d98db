#pragma once
// windows.h for the view: its MessageBox macro would rename the model's
// form::MessageBox in every file that includes both (the view calls
// MessageBoxW by its own name).
#include <windows.h>
#undef MessageBox
