// The windowed program's entry: wx creates TessavoApp and runs its loop.
#include "ui/tessavo_app.h"

wxIMPLEMENT_APP(TessavoApp);
