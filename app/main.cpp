#include "app/ledgermill_app.h"

int main(int argc, char** argv) {
    return CLedgermillApp().Run(argc, argv);
}
