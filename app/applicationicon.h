#pragma once

#include <QIcon>

// The program's icon (title bars, task bar, About box): a ket on a blue disc, drawn at the
// usual icon sizes.
QIcon applicationIcon();
