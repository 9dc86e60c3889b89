// The Qt Widgets headers the framework and the programs with windows build on. QtTest stays
// out: its headers read per-folder macros (the test case's source folder), which one shared
// precompiled header cannot match.
#pragma once

#include "StdPch.h"

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QScrollBar>
#include <QString>
#include <QTimer>
#include <QWidget>
