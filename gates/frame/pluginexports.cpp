// The exports that every plug-in shares: the data slots the host writes, and the creation and
// destruction of the parameter dialog. Compiled into each plug-in by amplex_add_gate.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"
#include "views/outerplacement.h"

extern "C" {

AMPLEX_EXPORT RunGateFn procexecute = nullptr;
AMPLEX_EXPORT RecordStepFn procstep = nullptr;
AMPLEX_EXPORT QRegister* r = nullptr;
AMPLEX_EXPORT void* hdll = nullptr;

namespace {
// The one parameter dialog of this library. Destroyed by dlghide before the host unloads the
// library, since its code and tables live here.
amplex::frame::GateDialog* dialog = nullptr;
} // namespace

AMPLEX_EXPORT int dlgshow(int x, int y, int width, int height) {
    delete dialog;
    dialog = new amplex::frame::GateDialog(amplex::frame::gateDialog());
    // The rectangle is the outer one: the title bar must not cover the Gates window above.
    amplex::placeOuter(dialog, {x, y, width, height});
    dialog->show();
    dialog->raise();
    return 1;
}

AMPLEX_EXPORT void dlghide(void) {
    delete dialog;
    dialog = nullptr;
}
}
