#!/usr/bin/env bash
# Creates the benchmark tables in a database (default "bench") on the server given by
# TARVIX_TEST_HOST / TARVIX_TEST_PORT. Deterministic: every value is a function of the row
# number, so two runs (or two machines) hold the same bytes. A table that already has its row
# count is left alone, so a second run costs seconds.
#   bench/make-data.sh [DATABASE]
# Scale with BENCH_SCALE (default 1; e.g. 0.01 for a quick smoke run).
set -euo pipefail

db=${1:-bench}
host=${TARVIX_TEST_HOST:-127.0.0.1}
port=${TARVIX_TEST_PORT:?TARVIX_TEST_PORT is not set (eval "$(scripts/mariadb-sandbox start bench)")}
user=${TARVIX_TEST_USER:-root}
password=${TARVIX_TEST_PASSWORD:-vbr7463}
scale=${BENCH_SCALE:-1}

case "$db" in *[!A-Za-z0-9_]*|'') echo "make-data: bad database name '$db'" >&2; exit 2 ;; esac

rows() { awk -v n="$1" -v s="$scale" 'BEGIN { r = int(n * s); if (r < 1) r = 1; print r }'; }
erp_count=$(rows 1000000)
narrow_count=$(rows 3000000)
blob_count=$(rows 200)

sql() {
  mariadb --no-defaults --protocol=TCP -h"$host" -P"$port" -u"$user" -p"$password" \
    --default-character-set=utf8mb4 -N -B "$@"
}

sql -e "CREATE DATABASE IF NOT EXISTS \`$db\` CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci"

# True when the table exists with exactly the wanted number of rows.
complete() {
  local table=$1 want=$2 have
  have=$(sql "$db" -e "SELECT COUNT(*) FROM information_schema.TABLES
                       WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = '$table'")
  [ "$have" = 1 ] || return 1
  have=$(sql "$db" -e "SELECT COUNT(*) FROM \`$table\`")
  [ "$have" = "$want" ]
}

# make_table NAME ROWS SQL...: rebuilds NAME with the statements unless it is complete.
make_table() {
  local table=$1 want=$2 start
  shift 2
  if complete "$table" "$want"; then
    echo "make-data: $db.$table has $want rows, kept"
    return
  fi
  start=$(date +%s.%N)
  sql "$db" -e "DROP TABLE IF EXISTS \`$table\`; $*"
  complete "$table" "$want" || { echo "make-data: $db.$table did not get $want rows" >&2; exit 1; }
  echo "make-data: $db.$table built, $want rows in $(awk -v a="$start" -v b="$(date +%s.%N)" \
    'BEGIN { printf "%.1f", b - a }') s"
}

# ERP-like rows. Words with accents; every 37th name has a single quote, every 53rd a
# backslash, every 71st a line feed, so escaping paths are exercised at a realistic rate.
make_table erp_rows "$erp_count" "
CREATE TABLE erp_rows (
  id INT NOT NULL PRIMARY KEY,
  nome VARCHAR(60) NOT NULL,
  preco DECIMAL(10,2) NOT NULL,
  estoque INT NOT NULL,
  cadastro DATETIME NOT NULL,
  obs TEXT NULL,
  foto BLOB NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
INSERT INTO erp_rows
SELECT i,
  LEFT(CONCAT(
    ELT(1 + i % 16, 'Parafuso', 'Arruela', 'Açúcar', 'Feijão', 'Pão de queijo', 'Café torrado',
        'Sabão em pó', 'Óleo de soja', 'Macarrão', 'Farinha', 'Maçã', 'Limão', 'Chá mate',
        'Cachaça', 'Pêssego', 'Guaraná'),
    ' ',
    ELT(1 + (i DIV 16) % 12, 'sextavado', 'orgânico', 'integral', 'em lata', 'à granel',
        'tradicional', 'diet', 'refinado', 'extra fino', 'caseiro', 'importado', 'nacional'),
    CASE WHEN i % 37 = 0 THEN ' d''água'
         WHEN i % 53 = 0 THEN ' C:\\\\estoque\\\\novo'
         WHEN i % 71 = 0 THEN '\nlinha dois'
         ELSE '' END,
    ' nº ', i), 60),
  CAST(((i * 7919) % 1000000) / 100 AS DECIMAL(10,2)),
  (i * 31) % 5000 - 100,
  TIMESTAMP('2015-01-01 00:00:00') + INTERVAL ((i * 7877) % 300000000) SECOND,
  CASE WHEN i % 3 = 0 THEN CONCAT('Cliente pediu entrega após as ', 8 + i % 10,
         'h; conferir a nota fiscal e o código de barras do lote ', i % 997, '.')
       ELSE NULL END,
  CASE WHEN i % 11 = 0 THEN NULL
       ELSE CONCAT(LEFT(h, n DIV 2), 0x00, SUBSTRING(h, n DIV 2 + 2, n - n DIV 2 - 1)) END
FROM (SELECT CAST(seq AS SIGNED) AS i, 20 + seq % 181 AS n,
             CONCAT(UNHEX(SHA2(seq, 512)), UNHEX(SHA2(seq + 1000000000, 512)),
                    UNHEX(SHA2(seq + 2000000000, 512)), UNHEX(SHA2(seq + 3000000000, 512))) AS h
      FROM seq_1_to_$erp_count) AS s;"

make_table narrow_rows "$narrow_count" "
CREATE TABLE narrow_rows (
  id INT NOT NULL PRIMARY KEY,
  a INT NOT NULL,
  b INT NOT NULL,
  code CHAR(8) NOT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
INSERT INTO narrow_rows
SELECT i, (i * 2654435761) % 2147483647 - 1073741823, i % 1000,
       LPAD(CONV((i * 40503) % 2821109907456, 10, 36), 8, '0')
FROM (SELECT CAST(seq AS SIGNED) AS i FROM seq_1_to_$narrow_count) AS s;"

# 1 MiB each: 16384 SHA-512 digests of distinct inputs, so the bytes are incompressible and
# every byte value (NUL, quote, backslash, ...) occurs many times.
make_table blob_rows "$blob_count" "
SET SESSION group_concat_max_len = 4194304;
CREATE TABLE blob_rows (
  id INT NOT NULL PRIMARY KEY,
  dados LONGBLOB NOT NULL
) ENGINE=InnoDB;
INSERT INTO blob_rows
SELECT r.seq,
  (SELECT GROUP_CONCAT(UNHEX(SHA2(CONCAT(r.seq, '-', c.seq), 512)) ORDER BY c.seq SEPARATOR '')
   FROM seq_1_to_16384 AS c)
FROM seq_1_to_$blob_count AS r;"
