-- The bundled demo database: a small shop with the tables the program itself needs.
-- Loaded by scripts/run into the demo server (database "loja_demo").
DROP DATABASE IF EXISTS loja_demo;
CREATE DATABASE loja_demo CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;
USE loja_demo;

CREATE TABLE configuracao (
  Controle INT AUTO_INCREMENT PRIMARY KEY,
  Nome VARCHAR(50), Endereco VARCHAR(50), Bairro VARCHAR(40), Cidade VARCHAR(40), Estado VARCHAR(2),
  Cep VARCHAR(8), Tel1 VARCHAR(15), Tel2 VARCHAR(15), Fax VARCHAR(15), Email VARCHAR(50), Setor VARCHAR(50),
  Cpf VARCHAR(14), Cnpj VARCHAR(15), Insc VARCHAR(15), NomeResponsavel VARCHAR(50), Email02 VARCHAR(50)
);
INSERT INTO configuracao (Nome, Endereco, Bairro, Cidade, Estado, Cep, Tel1, Tel2, Fax, Email, Setor, Cpf, Cnpj,
  Insc, NomeResponsavel, Email02) VALUES
  ('Mercadinho São João', 'Rua das Flores, 123', 'Centro', 'Lages', 'SC', '88501000', '(49) 3222-0000',
   '(49) 99999-0000', '', 'contato@saojoao.example', 'Varejo', '123.456.789-00', '12345678000199', 'ISENTO',
   'João D''Ávila', 'financeiro@saojoao.example');

CREATE TABLE tabelasbackup (id INT AUTO_INCREMENT PRIMARY KEY, descricao VARCHAR(50));

CREATE TABLE clientes (
  Codigo INT PRIMARY KEY, Nome VARCHAR(60) NOT NULL, Cidade VARCHAR(40), Nascimento DATE, Limite DECIMAL(10,2),
  Observacao TEXT, Ativo TINYINT(1) DEFAULT 1
);
INSERT INTO clientes VALUES
  (1, 'Ana Conceição', 'Lages', '1980-03-15', 1500.00, 'Cliente desde 2001.\nPrefere "entregas" à tarde.', 1),
  (2, 'José D''Almeida', 'Blumenau', '1975-11-02', 800.50, NULL, 1),
  (3, 'Márcia Çelik', 'Joinville', NULL, 0.00, 'Caminho: C:\\pedidos\\novos', 0),
  (4, 'Ötto Müller', 'São Bento do Sul', '1990-07-30', 2500.00, '', 1);

CREATE TABLE produtos (
  Codigo INT PRIMARY KEY, Descricao VARCHAR(80) NOT NULL, Preco DECIMAL(10,2), Estoque INT, Cadastro DATETIME,
  Foto BLOB
);
INSERT INTO produtos VALUES
  (10, 'Café torrado 500g', 18.90, 120, '2023-04-08 12:04:23', UNHEX('89504E470D0A1A0A0000000D49484452')),
  (11, 'Pão de açúcar 1kg', 7.45, 40, '2023-04-09 08:00:00', NULL),
  (12, 'Água mineral 1,5 L "sem gás"', 3.20, 300, '2023-05-01 00:00:00', UNHEX('FFD8FFE000104A46494600')),
  (13, 'Sabão em pó 1kg (10% grátis)', 12.99, 0, '2023-05-02 17:30:00', '');

CREATE TABLE `itens pedido` (
  Pedido INT, Item INT, Produto INT, Quantidade DECIMAL(10,3), `data venda` DATE, PRIMARY KEY (Pedido, Item)
);
INSERT INTO `itens pedido` VALUES
  (1001, 1, 10, 2.000, '2023-06-01'), (1001, 2, 12, 6.000, '2023-06-01'), (1002, 1, 11, 1.500, '2023-06-02');

CREATE VIEW vendas_por_produto AS
  SELECT p.Descricao, SUM(i.Quantidade) AS Quantidade FROM `itens pedido` i JOIN produtos p ON p.Codigo = i.Produto
  GROUP BY p.Descricao;
