#include "toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "command_ids.h"

namespace kenvo {

namespace {

const QColor Outline(60, 60, 60);
const QColor Folder(240, 196, 80);
const QColor Disk(60, 100, 180);
const QColor Paper(255, 255, 255);
const QColor Plate(150, 160, 170);
const QColor Trace(200, 40, 40);
const QColor Grid(90, 110, 140);
const QColor Green(40, 150, 60);

void folder(QPainter& p) {
    p.setPen(QColor(150, 110, 20));
    p.setBrush(Folder);
    p.drawRect(1, 4, 14, 10);
    p.drawRect(1, 3, 5, 1);
    p.setBrush(QColor(255, 222, 130));
    p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(17, 7), QPoint(15, 14), QPoint(1, 14)}));
}

void disk(QPainter& p) {
    p.setPen(Outline);
    p.setBrush(Disk);
    p.drawRect(2, 1, 14, 14);
    p.setBrush(Paper);
    p.drawRect(5, 1, 8, 5);
    p.setBrush(QColor(210, 210, 210));
    p.drawRect(5, 10, 8, 5);
    p.fillRect(10, 2, 2, 3, Disk);
}

void badge(QPainter& p, const QColor& colour) {  // small mark in the lower right corner
    p.setPen(Qt::white);
    p.setBrush(colour);
    p.drawEllipse(11, 9, 7, 7);
}

void gearBadge(QPainter& p) {
    badge(p, QColor(110, 110, 110));
    p.setPen(Qt::white);
    p.drawPoint(14, 12);
    p.drawPoint(15, 12);
    p.drawPoint(14, 13);
    p.drawPoint(15, 13);
}

void plusBadge(QPainter& p) {
    badge(p, Green);
    p.setPen(Qt::white);
    p.drawLine(12, 12, 17, 12);
    p.drawLine(14, 10, 14, 15);
}

void table(QPainter& p, int highlightRow = -1) {
    p.setPen(Grid);
    p.setBrush(Paper);
    p.drawRect(1, 1, 16, 14);
    p.fillRect(2, 2, 15, 3, QColor(170, 190, 220));
    if (highlightRow >= 0) p.fillRect(2, 6 + highlightRow * 3, 15, 2, QColor(255, 220, 120));
    for (int y = 5; y < 15; y += 3) p.drawLine(1, y, 17, y);
    p.drawLine(6, 1, 6, 15);
}

void axes(QPainter& p) {
    p.setPen(Outline);
    p.drawLine(2, 1, 2, 15);
    p.drawLine(2, 15, 18, 15);
}

void personOnPlate(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(Plate);
    p.drawPolygon(QPolygon({QPoint(3, 13), QPoint(16, 13), QPoint(18, 16), QPoint(1, 16)}));
    p.setBrush(QColor(50, 90, 160));
    p.drawEllipse(7, 0, 4, 4);
    p.setPen(QPen(QColor(50, 90, 160), 2));
    p.drawLine(9, 5, 9, 9);
    p.drawLine(9, 9, 7, 13);
    p.drawLine(9, 9, 11, 13);
    p.drawLine(6, 6, 12, 6);
}

void target(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int r = 8, i = 0; r > 0; r -= 3, ++i) {
        p.setBrush(i % 2 ? Paper : Trace);
        p.drawEllipse(QPointF(9.5, 8.5), r, r);
    }
}

void road(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path(QPointF(5, 16));
    path.cubicTo(QPointF(16, 11), QPointF(1, 6), QPointF(12, 0));
    p.setPen(QPen(QColor(120, 120, 120), 4));
    p.drawPath(path);
    p.setPen(QPen(Qt::white, 1, Qt::DashLine));
    p.drawPath(path);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Trace, 2));
    p.drawLine(12, 6, 16, 6);
    p.drawLine(14, 4, 14, 8);
}

void wave(QPainter& p, const QColor& colour) {
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path(QPointF(3, 9));
    path.cubicTo(QPointF(6, 0), QPointF(8, 0), QPointF(10, 8));
    path.cubicTo(QPointF(12, 15), QPointF(15, 15), QPointF(18, 6));
    p.setPen(QPen(colour, 1.5));
    p.drawPath(path);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void document(QPainter& p) {
    p.setPen(Outline);
    p.setBrush(Paper);
    p.drawPolygon(
        QPolygon({QPoint(3, 0), QPoint(12, 0), QPoint(15, 3), QPoint(15, 16), QPoint(3, 16)}));
}

void listLines(QPainter& p, int x, int y) {
    p.setPen(QColor(60, 60, 160));
    for (int i = 0; i < 3; ++i) p.drawLine(x, y + i * 3, x + 6, y + i * 3);
}

void draw(QPainter& p, int id) {
    switch (id) {
        case CmdOpen:
            folder(p);
            break;
        case CmdSave:
            disk(p);
            break;
        case CmdOpenCfg:
            folder(p);
            gearBadge(p);
            break;
        case CmdSaveCfg:
            disk(p);
            gearBadge(p);
            break;
        case CmdPrint:
            p.setPen(Outline);
            p.setBrush(Paper);
            p.drawRect(5, 1, 9, 6);
            p.setBrush(QColor(190, 190, 190));
            p.drawRect(1, 6, 17, 7);
            p.setBrush(Paper);
            p.drawRect(5, 11, 9, 5);
            p.fillRect(15, 8, 2, 1, Green);
            break;
        case CmdSubjectInfo:
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Outline);
            p.setBrush(QColor(240, 200, 160));
            p.drawEllipse(QRectF(6, 1, 7, 7));
            p.setBrush(QColor(70, 120, 190));
            p.drawChord(QRectF(2, 9, 15, 14), 0, 180 * 16);
            break;
        case CmdStanceTest:
            personOnPlate(p);
            break;
        case CmdContinueStance:
            personOnPlate(p);
            plusBadge(p);
            break;
        case CmdTargetTest:
            target(p);
            break;
        case CmdDrivingTest:
            road(p);
            break;
        case CmdContinueDriving:
            road(p);
            plusBadge(p);
            break;
        case CmdCheck:
            p.setPen(Outline);
            p.setBrush(Plate);
            p.drawRect(1, 2, 16, 12);
            p.setPen(Qt::NoPen);
            p.setBrush(Green);
            for (QPoint c : {QPoint(4, 5), QPoint(14, 5), QPoint(4, 11), QPoint(14, 11)})
                p.drawEllipse(c, 2, 2);
            break;
        case CmdRealSimulation:
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QColor(20, 100, 40));
            p.setBrush(Green);
            p.drawEllipse(QRectF(1.5, 0.5, 16, 16));
            p.setBrush(Qt::white);
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF({QPointF(7, 4.5), QPointF(13.5, 8.5), QPointF(7, 12.5)}));
            break;
        case CmdSummary:
            table(p);
            break;
        case CmdIntervalSummary:
            table(p);
            p.setPen(Grid);
            p.drawLine(11, 1, 11, 15);
            break;
        case CmdAttempt:
            table(p, 1);
            break;
        case CmdTargetSummary:
            table(p);
            badge(p, Trace);
            p.fillRect(14, 12, 1, 1, Qt::white);
            break;
        case CmdDrivingSummary:
            table(p);
            badge(p, QColor(120, 120, 120));
            break;
        case CmdFrequencyAnalysis:
            axes(p);
            for (int x = 4, h = 4; x < 18; x += 3, h = (h * 7) % 12 + 2)
                p.fillRect(x, 15 - h, 2, h, QColor(70, 120, 190));
            break;
        case CmdGraphReport:
            axes(p);
            wave(p, Trace);
            break;
        case CmdDifusAnalysis:
            axes(p);
            p.setPen(QPen(Trace, 1));
            p.drawLine(3, 14, 8, 6);
            p.setPen(QPen(QColor(50, 90, 160), 1));
            p.drawLine(8, 6, 18, 3);
            p.setPen(Outline);
            for (QPoint c : {QPoint(5, 11), QPoint(7, 8), QPoint(11, 5), QPoint(15, 4)})
                p.drawPoint(c);
            break;
        case CmdBatchAnalysis:
            for (int k = 2; k >= 0; --k) {
                p.setPen(Outline);
                p.setBrush(Paper);
                p.drawRect(1 + k * 3, 1 + k * 2, 10, 11);
            }
            listLines(p, 3, 5);
            break;
        case CmdGraphSetup:
            axes(p);
            wave(p, QColor(50, 90, 160));
            gearBadge(p);
            break;
        case CmdDaGraphSetup:
            axes(p);
            p.setPen(Trace);
            p.drawLine(3, 14, 7, 5);
            p.drawLine(7, 5, 12, 3);
            gearBadge(p);
            break;
        case CmdNewProtocol:
            document(p);
            listLines(p, 6, 5);
            p.setPen(QColor(220, 160, 0));
            p.drawLine(13, 10, 13, 16);
            p.drawLine(10, 13, 16, 13);
            break;
        case CmdOpenProtocol:
            folder(p);
            break;
        case CmdSaveProtocol:
            disk(p);
            break;
        case CmdAbout:
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QColor(30, 70, 140));
            p.setBrush(QColor(60, 110, 200));
            p.drawEllipse(QRectF(1.5, 0.5, 16, 16));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(8.5, 7, 2, 6.5));
            p.drawEllipse(QRectF(8.5, 3.2, 2, 2));
            break;
        default:
            break;
    }
    if (id == CmdOpenProtocol || id == CmdSaveProtocol) {
        p.setPen(Qt::NoPen);
        p.setBrush(Paper);
        p.drawRect(10, 7, 8, 9);
        listLines(p, 11, 9);
    }
}

}  // namespace

QPixmap toolbarPixmap(int commandId) {
    QPixmap pixmap(ToolbarImageWidth, ToolbarImageHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter, commandId);
    painter.end();
    return pixmap;
}

QIcon toolbarIcon(int commandId) {
    QIcon icon(toolbarPixmap(commandId));
    return icon;
}

}  // namespace kenvo
