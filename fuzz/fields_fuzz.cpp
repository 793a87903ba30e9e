// Every parser of typed text: the qubits field, the whole-number fields of the views, the
// Segmentation dialog's bit fields, the gate dialogs' number fields, and the texts read from
// the system and the environment (memory files, AMPLEX_THREADS, the history's size). The first
// byte picks the parser, the rest is the text.

#include "app/qubitcountinput.h"
#include "app/systemmemory.h"
#include "core/parallelfor.h"
#include "core/qregister.h"
#include "core/segmentation.h"
#include "fuzz/fuzzinput.h"
#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"
#include "views/segmentationeditor.h"
#include "views/wholenumber.h"

#include <QApplication>
#include <QLineEdit>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Field = 1003;
constexpr amplex::frame::ControlSpec controls[] = {
    {amplex::frame::ControlKind::Label, 0, "number:", {7, 7, 40, 10}},
    {amplex::frame::ControlKind::Edit, Field, "0", {50, 7, 40, 11}},
};

} // namespace

// The fuzzer is a gate of its own, so that the frame's dialog can be built in it.
extern "C" AMPLEX_EXPORT void execute(std::intptr_t) {}
const amplex::frame::GateDialogSpec& amplex::frame::gateDialog() {
    static const GateDialogSpec dialog{"Fields", controls};
    return dialog;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const auto parser = in.take<std::uint8_t>();
    const int maxChars = in.take<std::uint8_t>();
    const std::string text = in.rest();
    const QString typed = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    switch (parser % 8) {
    case 0:
        if (const auto n = QubitCountInput::parse(text)) {
            require(*n >= QubitCountInput::MinQubits && *n <= QubitCountInput::MaxQubits);
        }
        break;
    case 1:
        amplex::ui::parseWholeNumber(typed);
        break;
    case 2: {
        static Segmentation segmentation;
        static QRegister live;
        live.segmentation = &segmentation;
        live.qubitCount = 1 + maxChars % 26;
        amplex::ui::SegmentationEditor editor(live);
        editor.add();
        editor.select(maxChars % 3);
        editor.applyFrom(typed);
        editor.applyTo(typed);
        require(editor.segmentCount() >= 0 && editor.segmentCount() <= Segmentation::MaxSegments);
        break;
    }
    case 3:
        SystemMemory::memAvailable(text);
        SystemMemory::byteCount(text);
        break;
    case 4:
        SystemMemory::memoryCgroup(text);
        break;
    case 5:
        if (const auto bytes = SystemMemory::megabytes(text.c_str())) {
            require(*bytes >= (1u << 20) && *bytes <= (std::uint64_t{1} << 44));
        }
        break;
    case 6: {
        setenv("AMPLEX_THREADS", text.c_str(), 1);
        require(amplex::kernels::threadCount() >= 1);
        break;
    }
    default: {
        static auto* dialog = new amplex::frame::GateDialog(amplex::frame::gateDialog());
        static_cast<QLineEdit*>(dialog->control(Field))->setText(typed);
        dialog->scanInt(Field, maxChars);
        dialog->scanUnsigned(Field, maxChars);
        dialog->scanWide(Field, maxChars);
        dialog->requireInt(Field, maxChars);
        dialog->requireUnsigned(Field, maxChars);
        break;
    }
    }
    return 0;
}
