// parcelo: opens a TNEF file (winmail.dat) and shows its attachments and message.
#include "parcelo_app.h"

int main(int argc, char** argv) {
    parcelo::ParceloApp app(argc, argv);
    return app.InitInstance();
}
