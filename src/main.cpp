#include "app/AppMain.h"

int main(int argc, char** argv) { return tavrin::AppMain::Main(argc, argv); }
