#!/usr/bin/env python3
"""Generates a large course for timing pauta: <code>-UC.txt and
<code>-Estudantes.txt in CP1252 with CR LF line ends, written the way pauta
itself writes them, so that a load followed by a save reproduces the file.

The mix is meant to look like a real course: most records in continuous
assessment (some without e-folio C, some not admitted to the p-folio, some
with a resit), a good share by final exam, a few with no option chosen yet.
The output depends only on the arguments (fixed seed by default).

The first unit of the first student is always a final-exam record without
grades, so that a benchmark can enter an exam grade there (see bench.sh).

    python3 bench/gera_curso.py DIR [--estudantes 20000] [--ucs 30] [--ucs-min N]
                                    [--curso 77] [--semente 2024]
"""

import argparse
import os
import random

# The 30 units of the example course: code, name, year, semester, ECTS.
UNIDADES = [
    (21002, "Álgebra Linear I", 1, 1, 6),
    (21030, "Análise Matemática I", 1, 1, 6),
    (21010, "Introdução à Programação", 1, 1, 6),
    (21071, "Sistemas Computacionais", 1, 1, 6),
    (21048, "Ética e Práticas de Engenharia", 1, 1, 6),
    (21037, "Estatística", 1, 2, 6),
    (21031, "Análise Matemática II", 1, 2, 6),
    (21093, "Programação por Objetos", 1, 2, 7),
    (21078, "Matemática Discreta", 1, 2, 5),
    (21104, "Arquitetura de Computadores", 1, 2, 6),
    (21053, "Bases de Dados", 2, 1, 6),
    (21046, "Estruturas de Dados e Algoritmos", 2, 1, 7),
    (21111, "Sistemas Operativos", 2, 1, 6),
    (21086, "Investigação Operacional", 2, 1, 5),
    (21019, "Física Geral", 2, 1, 6),
    (21097, "Redes de Comunicação", 2, 2, 6),
    (21062, "Linguagens e Computação", 2, 2, 6),
    (21108, "Engenharia de Software", 2, 2, 8),
    (21123, "Computação Numérica", 2, 2, 5),
    (21150, "Gestão de Projetos Informáticos", 2, 2, 5),
    (21176, "Computação Gráfica", 3, 1, 6),
    (21184, "Inteligência Artificial", 3, 1, 7),
    (21106, "Compilação", 3, 1, 6),
    (21174, "Segurança Informática", 3, 1, 6),
    (21179, "Interação Humano-Computador", 3, 1, 5),
    (21180, "Sistemas Distribuídos", 3, 2, 6),
    (21182, "Aprendizagem Automática", 3, 2, 6),
    (21190, "Criptografia e Teoria dos Códigos", 3, 2, 5),
    (21195, "Projeto de Engenharia Informática", 3, 2, 8),
    (21197, "Computação Móvel e Ubíqua", 3, 2, 5),
]

NOMES = ["Inês", "João", "Maria", "José", "Ana", "António", "Beatriz", "Luís",
         "Mariana", "Tomás", "Leonor", "Gonçalo", "Sofia", "André", "Carolina",
         "Rui", "Matilde", "Simão", "Francisca", "Nuno", "Conceição", "Zé"]
APELIDOS = ["Almeida", "Conceição", "Gonçalves", "Simões", "Magalhães", "Sá",
            "Pereira", "Ferreira", "Patrício", "Araújo", "Brandão", "Lopes",
            "Loureiro", "Marçal", "Fonseca", "Guimarães", "Costa", "Antunes"]

# E-folio weights (A, B, C); None: the unit has no e-folio C.
PESOS = [(2, 3, 3), (3, 3, 2), (2.5, 2.5, 3), (4, 4, None), (2, 2, 4), (3, 2, 3)]


def real(valor):
    """A real as pauta writes it: printf %g with 6 significant digits."""
    return "%g" % valor


def arredonda(valor):
    """Halves away from zero, as the program rounds final grades."""
    return int(valor + 0.5) if valor >= 0 else -int(-valor + 0.5)


def registo_continua(rnd):
    pesos = rnd.choice(PESOS)
    efolios = []
    for peso in pesos:
        if peso is None or rnd.random() < 0.05:
            efolios.append((-1, -1))
        else:
            efolios.append((rnd.choice(range(0, 101, 5)), peso))
    graduados = [(n, p) for n, p in efolios if n >= 0]
    total = sum(p * n / 100 for n, p in graduados)
    admitido = total >= 3.5 and len(graduados) >= 2
    final, recurso = -1, -1
    if admitido:
        if rnd.random() < 0.9:
            final = rnd.randrange(0, 49) / 4  # 0..12 in quarters
        if final < 5.5 and rnd.random() < 0.6:
            recurso = rnd.randrange(0, 49) / 4
        nota = -1
        if final >= 5.5:
            nota = final + total
        elif final != -1:
            nota = 0
        elif recurso == -1:
            nota = -1 if rnd.random() < 0.5 else total
        if recurso >= 5.5 and total + recurso > nota:
            nota = total + recurso
    else:
        if rnd.random() < 0.5:
            recurso = rnd.randrange(0, 41) / 2  # resit exam 0..20
        nota = recurso
    grupos = "".join("%s;%s;%s;" % (letra, real(n), real(p))
                     for letra, (n, p) in zip("ABC", efolios))
    return "1;%sF;%s;R;%s;N;%d" % (grupos, real(final), real(recurso),
                                   arredonda(nota) if nota != -1 else -1)


def registo_exame(rnd):
    final = rnd.randrange(0, 41) / 2 if rnd.random() < 0.9 else -1
    recurso = -1
    if final < 9.5 and rnd.random() < 0.6:
        recurso = rnd.randrange(0, 41) / 2
    nota = max(final, recurso)
    return ("0;A;-1;-1;B;-1;-1;C;-1;-1;F;%s;R;%s;N;%d"
            % (real(final), real(recurso), arredonda(nota) if nota != -1 else -1))


SEM_OPCAO = "-1;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1"
EXAME_SEM_NOTAS = "0;A;-1;-1;B;-1;-1;C;-1;-1;F;-1;R;-1;N;-1"


def avaliacao(rnd):
    sorte = rnd.random()
    if sorte < 0.6:
        return registo_continua(rnd)
    if sorte < 0.9:
        return registo_exame(rnd)
    return SEM_OPCAO


def linhas_estudantes(rnd, n_estudantes, n_ucs, minimo_ucs=None):
    for i in range(n_estudantes):
        nome = "%s %s %s" % (rnd.choice(NOMES), rnd.choice(APELIDOS), rnd.choice(APELIDOS))
        yield "ALUNO;%d;%s" % (100001 + i, nome)
        quantas = n_ucs if minimo_ucs is None else rnd.randint(minimo_ucs, n_ucs)
        unidades = UNIDADES if quantas >= len(UNIDADES) else \
            sorted(rnd.sample(UNIDADES, quantas), key=UNIDADES.index)
        for j, (codigo, nome_uc, ano, sem, ects) in enumerate(unidades):
            registo = EXAME_SEM_NOTAS if i == 0 and j == 0 else avaliacao(rnd)
            yield "%d;%s;%d;%d;%d;AVALIACAO;%s" % (codigo, nome_uc, ano, sem, ects, registo)
        yield ""


def escreve(caminho, linhas):
    with open(caminho, "wb") as f:
        bloco = []
        for linha in linhas:
            bloco.append(linha)
            if len(bloco) >= 10000:
                f.write(("\r\n".join(bloco) + "\r\n").encode("cp1252"))
                bloco = []
        if bloco:
            f.write(("\r\n".join(bloco) + "\r\n").encode("cp1252"))


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("destino")
    p.add_argument("--estudantes", type=int, default=20000)
    p.add_argument("--ucs", type=int, default=30, help="units per student (at most 30)")
    p.add_argument("--ucs-min", type=int, default=None,
                   help="each student takes from this many to --ucs units, at random")
    p.add_argument("--curso", type=int, default=77)
    p.add_argument("--semente", type=int, default=2024)
    a = p.parse_args()
    os.makedirs(a.destino, exist_ok=True)
    rnd = random.Random(a.semente)
    uc = ["CURSO;%d;Licenciatura em Engenharia Informática (ensaio)" % a.curso]
    uc += ["%d;%s;%d;%d;%d" % u for u in UNIDADES]
    escreve(os.path.join(a.destino, "%d-UC.txt" % a.curso), uc)
    escreve(os.path.join(a.destino, "%d-Estudantes.txt" % a.curso),
            linhas_estudantes(rnd, a.estudantes, a.ucs, a.ucs_min))


if __name__ == "__main__":
    main()
