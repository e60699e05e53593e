#include "modGlobalsMain.h"

int main(int argc, char **argv)
{
    return modGlobals::Main(argc, argv);
}
