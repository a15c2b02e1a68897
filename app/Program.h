#pragma once

// Makes the installation folder and its default data folder when they are missing.
void PrepareInstallFolder();

// Creates the program's windows and the data module, in their fixed order.
void CreateAllForms();

int QuillaneMain(int argc, char** argv);
