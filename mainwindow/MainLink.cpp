#include "mainwindow/MainLink.h"

TMainLink MainLink;
