int QuillaneMain(int argc, char** argv);

int main(int argc, char** argv) { return QuillaneMain(argc, argv); }
