#include <string>

#include "mainwindow/IdleReset.h"

std::string IdleWarningText(int seconds) {
  return "Сеанс завершится через " + std::to_string(seconds) +
         " с. Коснитесь экрана, чтобы продолжить.";
}
