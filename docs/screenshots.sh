#!/usr/bin/env bash
# Takes the pictures of the backup window (before, during and after a run) under Xvfb, against
# a small shop schema on the private server named "gui".
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build-gui}
cmake --build "$build" -j1 --target gui_screenshots gui_tray_screenshot >/dev/null
eval "$(scripts/mariadb-sandbox start gui)"
sql() { mariadb --no-defaults --protocol=TCP -h"$TARVIX_TEST_HOST" -P"$TARVIX_TEST_PORT" -uroot -pvbr7463 "$@"; }
sql -e "DROP DATABASE IF EXISTS gui_shots; CREATE DATABASE gui_shots CHARACTER SET utf8mb4;
  USE gui_shots;
  CREATE TABLE configuracao (Controle INT AUTO_INCREMENT PRIMARY KEY, Nome VARCHAR(50), Endereco VARCHAR(50),
    Bairro VARCHAR(40), Cidade VARCHAR(40), Estado VARCHAR(2), Cep VARCHAR(8), Tel1 VARCHAR(15), Tel2 VARCHAR(15),
    Fax VARCHAR(15), Email VARCHAR(50), Setor VARCHAR(50), Cpf VARCHAR(14), Cnpj VARCHAR(15), Insc VARCHAR(15),
    NomeResponsavel VARCHAR(50), Email02 VARCHAR(50));
  INSERT INTO configuracao (Nome) VALUES ('Mercearia São Jorge');
  CREATE TABLE tabelasbackup (id INT AUTO_INCREMENT PRIMARY KEY, descricao VARCHAR(50));
  CREATE TABLE clientes (id INT PRIMARY KEY, nome VARCHAR(60));
  INSERT INTO clientes SELECT seq, CONCAT('Cliente ', seq) FROM seq_1_to_2000;
  CREATE TABLE pedidos (id INT PRIMARY KEY, cliente INT, total DECIMAL(10,2));
  INSERT INTO pedidos SELECT seq, seq % 2000 + 1, seq / 7 FROM seq_1_to_200000;
  CREATE TABLE produtos (id INT PRIMARY KEY, descricao VARCHAR(60));
  INSERT INTO produtos SELECT seq, CONCAT('Produto ', seq) FROM seq_1_to_500;"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[LOCAL]\r\nSERVIDOR=%s\r\nPORTA=%s\r\nBANCO=gui_shots\r\nDIRECT=S\r\n' \
  "$TARVIX_TEST_HOST" "$TARVIX_TEST_PORT" > "$work/Admin.ini"
mkdir -p "$work/Backups"
xvfb-run -a -s "-screen 0 1024x768x24" env QT_QPA_PLATFORM=xcb "$build/tests/gui/gui_screenshots" \
  "$work" "$work/Backups" docs
xvfb-run -a -s "-screen 0 1024x768x24" env QT_QPA_PLATFORM=xcb "$build/tests/gui/gui_tray_screenshot" \
  docs/tray-window.png
ls -l docs/*.png
