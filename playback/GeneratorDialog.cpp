// Filled in by the player's and the dialog's work.
