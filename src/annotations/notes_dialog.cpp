#include "annotations/notes_dialog.h"

namespace vtome {

void NotesController::openNotes() {}

}  // namespace vtome
